// The end of a run.
#include "cells/ending.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "cells/memory_budget.h"
#include "cells/report_layout.h"

namespace cells {

namespace {
// A report assembled in place, without allocation.
struct ReportBuffer {
  char bytes[1024];
  std::size_t size = 0;
  void add(std::string_view s) {
    std::size_t n = std::min(s.size(), sizeof bytes - size);
    std::memcpy(bytes + size, s.data(), n);
    size += n;
  }
  void write() const {
    for (std::size_t done = 0; done < size;) {
      ssize_t n = ::write(2, bytes + done, size - done);
      if (n <= 0 && errno != EINTR) return;
      if (n > 0) done += std::size_t(n);
    }
  }
};
}  // namespace

static void writeReport(std::string_view type, std::string_view name, std::string_view message) {
  ReportBuffer r;
  layOutReport(r, type, name.substr(0, 200), message.substr(0, 600));
  r.write();
}

// The first error that kept standard output from being written, or 0.
static int& outputError() {
  static int error = 0;
  return error;
}

int flushStandardOutput() {
  errno = 0;
  bool failed = std::fflush(stdout) != 0 || std::ferror(stdout);
  if (failed && !outputError()) outputError() = errno ? errno : EIO;
  return outputError();
}

// Decision: a reader that went away (a broken pipe, as in `vorl p | head`) is a
// failure without a report, like a process that a shell sees ended by SIGPIPE:
// only the status says so.
static void reportOutputError(int error) {
  if (error == EPIPE) return;
  ReportBuffer message;
  message.add("Could not write standard output: ");
  message.add(std::strerror(error));
  message.add(".");
  writeReport("Write", "", std::string_view(message.bytes, message.size));
}

int finishOutput(int status) {
  int error = flushStandardOutput();
  std::fflush(nullptr);
  errno = 0;
  if (std::fclose(stdout) != 0 && !error) error = errno ? errno : EIO;
  if (!error) return status;
  reportOutputError(error);
  return kReportedStatus;
}

// Not instrumented by AddressSanitizer: see library/host_fault.cpp.
static EndingHint& endingHint() {
  static EndingHint hint = nullptr;
  return hint;
}

void setEndingHint(EndingHint hint) { endingHint() = hint; }

static EndingWriter& writer() {
  static EndingWriter w = nullptr;
  return w;
}

void setEndingWriter(EndingWriter w) { writer() = w; }
EndingWriter endingWriter() { return writer(); }

// The profile of a run that ends here. Exhausted memory may be why: the budget is
// lifted for it (the host's memory is rarely what ran out), and an allocation that
// still fails comes back here, where the writer is already gone.
static void writeObservations() {
  EndingWriter w = std::exchange(writer(), nullptr);
  if (!w) return;
  setBudgetLimit(0);
  w();
}

[[gnu::no_sanitize_address]] void endWithReport(std::string_view type, std::string_view name,
                                                std::string_view message) {
  int error = flushStandardOutput();
  writeReport(type, name, message);
  if (const char* hint = endingHint() ? endingHint()(type) : nullptr) {
    ReportBuffer r;
    r.add(hint);
    r.write();
  }
  writeObservations();
  std::fflush(nullptr);
  if (error) reportOutputError(error);
  std::_Exit(kReportedStatus);
}

void endForBrokenOutput() {
  writeObservations();
  std::fflush(nullptr);
  std::_Exit(kReportedStatus);
}

void holdStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    int held = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
    if (held >= 0 && held != fd) {
      ::dup2(held, fd);
      ::close(held);
    }
  }
}

}  // namespace cells
