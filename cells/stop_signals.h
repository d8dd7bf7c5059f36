// Signals that ask a run to stop (SIGINT, SIGTERM, SIGHUP) end it cleanly: what
// the program wrote to standard output and to its open streams is flushed, and the
// process exits with 128 + the signal's number, as shells expect. No report is
// written: the signal is the user's own request.
#pragma once

namespace cells {

// Installs the handlers and the thread that acts on them. Call once, early.
void watchStopSignals();

}  // namespace cells
