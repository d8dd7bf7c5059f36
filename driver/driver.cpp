// Program driver: start-up, command line, the phases and the exit status.
#include "driver/driver.h"

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "cells/ending.h"
#include "cells/invariant.h"
#include "cells/memory_budget.h"
#include "cells/report_layout.h"
#include "cells/stop_signals.h"
#include "compile/loader.h"
#include "driver/diagnostic.h"
#include "driver/hints.h"
#include "driver/options.h"
#include "driver/phases.h"
#include "driver/session.h"
#include "eval/observe.h"
#include "library/host_fault.h"
#include "numbers/value_kind.h"

namespace driver {

static int usageReport() {
  std::fputs(cells::reportText("Usage", "", "Usage: vorl file arg0 arg1 arg2 ...").c_str(), stderr);
  return kUsageStatus;
}

static int startReport(const char* path) {
  // The opening line goes to standard output, the rest to standard error.
  std::string lines =
      cells::reportText("Start", "\"" + escapeName(path) + "\"", "Could not read program file.")
          .substr(cells::kReportOpening.size());
  std::fputs(std::string(cells::kReportOpening).c_str(), stdout);
  cells::flushStandardOutput();
  if (hintsOn()) lines += startHint(path);
  std::fputs(lines.c_str(), stderr);
  return kErrorStatus;
}

int errorReport(const Diagnostic& d, std::string_view program, std::size_t firstLine) {
  cells::flushStandardOutput();
  std::string shown = "\033[m" + display(report(d));
  if (hintsOn()) shown += reportHints(d, program, firstLine);
  std::fwrite(shown.data(), 1, shown.size(), stderr);
  return kErrorStatus;
}

static int optionError(const std::string& option) {
  if (option == "-e") std::fputs("vorl: -e needs the program text (vorl --help lists the options)\n", stderr);
  else if (option == "--trace")
    std::fputs("vorl: --trace needs the name of a definition\n", stderr);
  else if (option.starts_with("--max-steps"))
    std::fputs("vorl: --max-steps=N needs a count of steps above 0, in decimal digits\n", stderr);
  else
    std::fprintf(stderr, "vorl: unknown option %s (vorl --help lists the options)\n",
                 escapeName(option).c_str());
  return kUsageStatus;
}

static bool isFolder(std::FILE* f) {
  struct stat about;
  return fstat(fileno(f), &about) == 0 && S_ISDIR(about.st_mode);
}

// Every byte of `f`, in blocks of at most 4095 bytes.
static std::string readAll(std::FILE* f) {
  std::string text;
  char block[4096];
  while (std::size_t got = std::fread(block, 1, 4095, f)) text.append(block, got);
  return text;
}

// The program of the file `path`, or of standard input for "-".
static std::optional<std::string> readProgram(const std::string& path) {
  if (path != "-") return readProgramFile(path.c_str());
  std::string program = readAll(stdin);
  if (std::ferror(stdin)) return std::nullopt;
  std::clearerr(stdin);
  return program;
}

// Decision: a folder, or a file whose reading fails part way, cannot be read as a
// program: it gets the start report rather than running as an empty or cut text.
std::optional<std::string> readProgramFile(const char* path) {
  std::FILE* f = std::fopen(path, "r");
  if (!f) return std::nullopt;
  std::string program = readAll(f);
  bool readable = !std::ferror(f) && !isFolder(f);
  cells::invariant(std::fclose(f) == 0, "program file did not close");
  if (!readable) return std::nullopt;
  return program;
}

void blankInterpreterLine(std::string& program) {
  if (!program.starts_with("#!")) return;
  std::size_t end = program.find('\n');
  if (end == std::string::npos) end = program.size();
  program.replace(0, end, end, ' ');
}

// The memory budget from --max-memory or VORL_MAX_MEMORY ("256M", "4G", a byte count; 0 for no
// limit), or the default. A value that is no size is a usage error.
static bool setMemoryLimit(const Options& o) {
  const char* given = o.maxMemory ? o.maxMemory->c_str() : std::getenv("VORL_MAX_MEMORY");
  std::optional<std::size_t> bytes = given ? cells::parseSize(given) : cells::defaultBudgetLimit();
  if (!bytes) {
    std::fprintf(stderr, "vorl: %s%s is not a size (such as 256M, 4G, a byte count; 0 for no limit)\n",
                 o.maxMemory ? "--max-memory=" : "VORL_MAX_MEMORY=", given);
    return false;
  }
  cells::setBudgetLimit(*bytes);
  return true;
}

int runDriver(int argc, char** argv) {
  cells::invariant(argc >= 1, "no command name");
  numbers::installCellSeams();
  std::set_new_handler([] { cells::outOfMemory(); });
  // Platform: a send on a connection whose peer has closed raises SIGPIPE, which
  // would end the process; the send gives -1 with EPIPE for the program to read,
  // like any other failing call. Only standard output's reader going away ends it.
  cells::endOnBrokenStandardOutput();
  library::installFaultHandlers();
  compile::installLanguageSeams();
  Options o = parseOptions(argc, argv);
  if (!o.unknown.empty()) return optionError(o.unknown);
  if (o.help || o.version) {
    std::fputs((o.help ? usageText() : versionText()).c_str(), stdout);
    return 0;
  }
  if (o.hints) setHints(*o.hints);
  if (!setMemoryLimit(o)) return kUsageStatus;
  if (hintsOn()) cells::setEndingHint(endingHint);
  eval::observation() = o.observation;
  if (o.observation.profiling()) cells::setEndingWriter(eval::writeObservations);
  if (o.interactive || (!o.text && !o.file && argc == 1 && isatty(STDIN_FILENO) == 1)) return runSession();
  if (!o.text && !o.file) return usageReport();
  std::optional<std::string> program = o.text ? o.text : readProgram(*o.file);
  if (!program) return startReport(o.file->c_str());
  blankInterpreterLine(*program);
  Diagnostic d;
  int64_t result = runPhases(*program, argv + o.arguments, d);
  if (!d.empty()) {
    int status = errorReport(d, *program);
    eval::writeObservations();
    return status;
  }
  if (hintsOn()) std::fputs(endHint().c_str(), stderr);
  eval::writeObservations();
  // Platform: the exit status is the result modulo 256.
  return int(uint64_t(result) & 0xFF);
}

}  // namespace driver
