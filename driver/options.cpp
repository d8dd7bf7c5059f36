// Reading the options that come before the program.
#include "driver/options.h"

#include <gmp.h>

#include <string_view>

#ifndef VORL_VERSION
#define VORL_VERSION "unknown"
#endif

namespace driver {

// A count of steps: decimal digits only, above 0.
static bool readCount(std::string_view text, unsigned long long& count) {
  if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string_view::npos)
    return false;
  count = std::stoull(std::string(text));
  return count > 0;
}

// The options that look inside a run (eval/observe.h).
static bool readObservingOption(eval::Observation& o, int argc, char** argv, int& i) {
  std::string_view word = argv[i];
  if (word == "--profile") return o.profile = true;
  if (word == "--profile=all") return o.profile = o.profileAll = true;
  if (word.starts_with("--profile-folded=") && word.size() > 17)
    return (o.foldedPath = word.substr(17)), true;
  if (word.starts_with("--max-steps=")) return readCount(word.substr(12), o.maxSteps);
  if (word.starts_with("--trace=") && word.size() > 8) return o.traced.emplace_back(word.substr(8)), true;
  if (word == "--trace") {
    if (i + 1 == argc) return false;
    return o.traced.emplace_back(argv[++i]), true;
  }
  return false;
}

// One option at argv[i]; false when it is not understood. -e takes the next word.
static bool readOption(Options& o, int argc, char** argv, int& i) {
  std::string_view word = argv[i];
  if (readObservingOption(o.observation, argc, argv, i)) return true;
  if (word == "--help" || word == "-h") return o.help = true;
  if (word == "--version") return o.version = true;
  if (word == "-i") return o.interactive = true;
  if (word == "--hints") return (o.hints = true), true;
  if (word == "--no-hints") return (o.hints = false), true;
  if (word.starts_with("--max-memory=")) return (o.maxMemory = std::string(word.substr(13))), true;
  if (word == "-e") {
    if (i + 1 == argc) return false;
    return (o.text = argv[++i]), true;
  }
  return false;
}

Options parseOptions(int argc, char** argv) {
  Options o;
  int i = 1;
  for (; i < argc && !o.text; ++i) {
    std::string_view word = argv[i];
    if (word == "--") {
      ++i;
      break;
    }
    if (word.size() < 2 || word[0] != '-') break;  // the program file, or "-"
    if (!readOption(o, argc, argv, i)) {
      o.unknown = std::string(word);
      return o;
    }
    if (o.help || o.version) return o;
  }
  if (!o.text && i < argc) o.file = argv[i++];
  o.arguments = i;
  return o;
}

std::string usageText() {
  return "Usage: vorl [options] file [arg ...]\n"
         "       vorl [options] -e text [arg ...]\n"
         "       vorl [options] - [arg ...]        (the program from standard input)\n"
         "       vorl -i                          (an interactive session; also vorl alone on a terminal)\n"
         "Runs a program: its main expression, given the argument words, gives the exit status.\n"
         "Options:\n"
         "  -e text              run text as the program\n"
         "  -i                   an interactive session: definitions and expressions, one input at a time\n"
         "  --max-memory=SIZE    the most memory the run may hold (256M, 4G, a byte count; 0: no limit);\n"
         "                       the same as VORL_MAX_MEMORY\n"
         "  --hints, --no-hints  hint lines after reports (default: on when standard error is a terminal);\n"
         "                       the same as VORL_HINTS=1 or 0\n"
         "  --profile            when the run ends, a table on standard error of the definitions it "
         "entered:\n"
         "                       calls, steps, built-in calls, cells and time (--profile=all: every name)\n"
         "  --profile-folded=FILE  the same counts as folded stacks, for flame-graph tools\n"
         "  --trace NAME         each call of NAME on standard error, with its arguments and its value\n"
         "                       (repeatable)\n"
         "  --max-steps=N        end the run with a report after N machine steps\n"
         "  --help               this text\n"
         "  --version            the version of vorl and of its big-number library\n"
         "  --                   ends the options: the next word is the program file\n"
         "The guide: docs/guide.md, or `man vorl`.\n";
}

std::string versionText() { return std::string("vorl ") + VORL_VERSION + " (GMP " + gmp_version + ")\n"; }

}  // namespace driver
