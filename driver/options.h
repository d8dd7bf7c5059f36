// The command line: options before the program, in the usual form, then the program
// (a file, "-" for standard input, or the text of -e) and its argument words, which
// are passed on exactly as given.
#pragma once

#include <optional>
#include <string>

#include "eval/observe.h"

namespace driver {

struct Options {
  bool help = false;
  bool version = false;
  bool interactive = false;              // -i
  std::optional<std::string> text;       // -e TEXT: the program itself
  std::optional<std::string> file;       // the program file; "-" is standard input
  std::optional<std::string> maxMemory;  // --max-memory=SIZE
  std::optional<bool> hints;             // --hints, --no-hints
  eval::Observation observation;         // --profile, --profile-folded=FILE, --trace NAME, --max-steps=N
  int arguments = 0;                     // argv index of the program's first argument word
  std::string unknown;                   // an option not understood, or one missing its value
};

Options parseOptions(int argc, char** argv);

// The text of --help and of --version.
std::string usageText();
std::string versionText();

}  // namespace driver
