// Time, environment, process and error numbers, one call each; `assert` is the one
// row with logic of its own.
//
// Platform: time_t is a signed 64-bit count of seconds on this host, so the plain
// time functions are the 64-bit ones.
#include "library/process.h"

#include <signal.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "cells/ending.h"

namespace library {

static const std::time_t* timeValue(Int address) { return address.pointer<const std::time_t>(); }
static std::tm* record(Int address) { return address.pointer<std::tm>(); }

Num timeImpl(Int address) { return Num{std::time(address.pointer<std::time_t>())}; }
Num ctimeImpl(Int address) { return Num::address(std::ctime(timeValue(address))); }
Num gmtimeImpl(Int address) { return Num::address(std::gmtime(timeValue(address))); }
Num localtimeImpl(Int address) { return Num::address(std::localtime(timeValue(address))); }
Num mktimeImpl(Int r) { return Num{std::mktime(record(r))}; }
Num asctimeImpl(Int r) { return Num::address(std::asctime(record(r))); }
RealResult difftimeImpl(Int end, Int start) {
  return RealResult{std::difftime(std::time_t(end.value), std::time_t(start.value))};
}
UNum strftimeImpl(Int buffer, Int n, Text format, Int r) {
  return UNum{std::strftime(buffer.pointer<char>(), n.count(), format.chars, record(r))};
}
Num time_tImpl() { return Num{sizeof(std::time_t)}; }

Num getenvImpl(Text name) { return Num::address(std::getenv(name.chars)); }
// Platform: the driver ignores SIGPIPE, and an ignored signal stays ignored across
// exec, so the command would inherit it and a pipeline such as `yes | head -1` would
// never end its writer. The default disposition is restored for the call's duration.
static int systemWithDefaultPipe(const char* command) {
  struct sigaction plain = {}, saved = {};
  plain.sa_handler = SIG_DFL;
  sigemptyset(&plain.sa_mask);
  sigaction(SIGPIPE, &plain, &saved);
  int status = std::system(command);
  sigaction(SIGPIPE, &saved, nullptr);
  return status;
}
Num systemImpl(Text command) { return Num{systemWithDefaultPipe(command.chars)}; }

// Platform: C's exit flushes and closes the C streams; the parent sees the status
// modulo 256, or 128 when standard output could not be written.
Void exitImpl(Int status) { std::exit(cells::finishOutput(int(status.value))); }
// Platform: what the program wrote is flushed before the abort, so that no output is
// lost. The program asked for it: an abort, not a report of a failed call.
Void abortImpl() {
  std::fflush(nullptr);
  std::signal(SIGABRT, SIG_DFL);
  std::abort();
}
Num raiseImpl(Int signal) { return Num{std::raise(int(signal.value))}; }

// K gives "I"; H ends the process with the report of a failed internal check (our
// source and line, after flushing the standard output); any other value gives "Z".
Handle assertImpl(Term truth) {
  std::string_view t = cells::isAtom(truth.cell) ? cells::text(truth.cell) : "";
  if (t == "H") cells::failInvariant("the program asserted a false value", __FILE__, __LINE__);
  return cells::common(t == "K" ? cells::Common::I : cells::Common::Z);
}

// ---- The C error number and its constants ----

Num errnoImpl() { return Num{errno}; }

// Platform: the constants are this host's own numbers, so that they agree with what
// `errno` gives; the socket ones are the host's socket error numbers too.
Num eintrImpl() { return Num{EINTR}; }
Num eioImpl() { return Num{EIO}; }
Num enxioImpl() { return Num{ENXIO}; }
Num ebadfImpl() { return Num{EBADF}; }
Num enomemImpl() { return Num{ENOMEM}; }
Num eaccesImpl() { return Num{EACCES}; }
Num efaultImpl() { return Num{EFAULT}; }
Num enodevImpl() { return Num{ENODEV}; }
Num einvalImpl() { return Num{EINVAL}; }
Num enfileImpl() { return Num{ENFILE}; }
Num emfileImpl() { return Num{EMFILE}; }
Num econnabortedImpl() { return Num{ECONNABORTED}; }
Num enotsockImpl() { return Num{ENOTSOCK}; }
Num eopnotsuppImpl() { return Num{EOPNOTSUPP}; }
Num eoverflowImpl() { return Num{EOVERFLOW}; }
Num ewouldblockImpl() { return Num{EWOULDBLOCK}; }

}  // namespace library
