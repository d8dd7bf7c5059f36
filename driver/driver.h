// The process entry: checks the command line, reads the program file, runs the
// phases in order while the diagnostic is empty, and turns the result into the
// exit status.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "driver/diagnostic.h"

namespace driver {

// Platform: a reported error exits with 128 (the low byte of the original 0x80000000
// is 0, which a shell would read as success); the usage error exits with 1.
inline constexpr int kErrorStatus = 128;
inline constexpr int kUsageStatus = 1;

// The whole file, byte for byte, read in blocks of at most 4095 bytes; nothing when
// it cannot be opened.
std::optional<std::string> readProgramFile(const char* path);

// A script's interpreter line: when the text begins with the two bytes "#!", the bytes
// of its first line, up to but not including the line feed, become spaces, so the
// program runs as if the line were blank and every position stays a byte offset of
// the file. Any other text is left as it is.
void blankInterpreterLine(std::string& program);

// Writes the report of `d` (and its hints, when they are on) on standard error and
// gives the reported-error status. `firstLine` numbers the program's first line.
int errorReport(const Diagnostic& d, std::string_view program, std::size_t firstLine = 1);

int runDriver(int argc, char** argv);

}  // namespace driver
