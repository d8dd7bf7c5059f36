// How a run ends: the final flush of everything the program wrote, checked, and
// the reports that end a run from wherever it stands (exhausted memory, a fault in
// a built-in) without returning through the phases. A program's output is never
// lost silently: when standard output cannot be written, the run fails.
#pragma once

#include <string_view>

namespace cells {

inline constexpr int kReportedStatus = 128;

// Flushes standard output before a report; gives the first error that kept it
// from being written (0 when none), which the final report then names.
int flushStandardOutput();

// Flushes every stream and closes standard output. Gives `status`, or 128 after
// the "Write" report when standard output could not be written.
int finishOutput(int status);

// Flushes standard output, writes the report (cells/report_layout.h) on standard
// error (no Name line when `name` is empty), flushes every stream and
// exits with 128. It allocates nothing, so exhausted memory may end here. Long
// names and messages are cut.
[[noreturn]] void endWithReport(std::string_view type, std::string_view name, std::string_view message);

// A hint written after a report that ends the run: for a report type, fixed text
// (whole lines, each beginning "hint: ") or null. Installed by the driver when hints
// are on; it must not allocate, as exhausted memory may end the run.
using EndingHint = const char* (*)(std::string_view type);
void setEndingHint(EndingHint hint);

// What a run under observation writes when it ends (its profile, eval/observe.h):
// every ending calls it, after its report, and it writes once. Null when nothing
// observes the run.
using EndingWriter = void (*)();
void setEndingWriter(EndingWriter writer);
EndingWriter endingWriter();

// Ends a run whose standard output's reader has gone: every other stream flushed,
// status 128, no report.
[[noreturn]] void endForBrokenOutput();

// Descriptors 0, 1 and 2 that are closed at start-up are held open on /dev/null
// in the direction that fails, so that no file the program opens takes their
// place and output to a closed standard output still fails as it should.
void holdStandardDescriptors();

}  // namespace cells
