// Signals that ask a run to stop (SIGINT, SIGTERM, SIGHUP) end it cleanly: what
// the program wrote to standard output and to its open streams is flushed, and the
// process exits with 128 + the signal's number, as shells expect. No report is
// written: the signal is the user's own request.
#pragma once

#include <atomic>
#include <csignal>

namespace cells {

// Installs the handlers and the thread that acts on them. Call once, early.
void watchStopSignals();

// A run under observation (cells/ending.h, endingWriter) writes its profile before
// a stop signal ends it. The watcher asks the machine's thread, which looks at every
// step of such a run and writes it there; when that thread does not come within a
// moment (blocked in a call, reading input), the watcher writes it itself and the
// machine's thread, should it come back, waits for the end.
enum class StopState : int { running, requested, machineWriting, watcherWriting, written };
inline std::atomic<StopState>& stopState() {
  static std::atomic<StopState> state{StopState::running};
  return state;
}
inline bool stopRequested() { return stopState().load(std::memory_order_relaxed) != StopState::running; }
[[noreturn]] void writeAndStop();

// Decision: a program writing into standard output whose reader has gone (`vorl p |
// head -1`) ends, as one ended by that signal would: its other streams flushed,
// status 128, no report; it never writes on forever. The write gives -1 with EPIPE
// as every broken pipe does (a send to a peer that closed, which goes on); the
// machines end the run after the built-in call that met it.
void endOnBrokenStandardOutput();
// Set by the handler; inline, as the machines ask after every built-in call.
inline volatile sig_atomic_t outputBrokenFlag = 0;
inline bool standardOutputBroken() { return outputBrokenFlag != 0; }

}  // namespace cells
