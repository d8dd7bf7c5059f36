// The process entry: checks the command line, reads the program file, runs the
// phases in order while the diagnostic is empty, and turns the result into the
// exit status.
#pragma once

#include <optional>
#include <string>

namespace driver {

// Platform: a reported error exits with 128 (the low byte of the original 0x80000000
// is 0, which a shell would read as success); the usage error exits with 1.
inline constexpr int kErrorStatus = 128;
inline constexpr int kUsageStatus = 1;

// The whole file, byte for byte, read in blocks of at most 4095 bytes; nothing when
// it cannot be opened.
std::optional<std::string> readProgramFile(const char* path);

int runDriver(int argc, char** argv);

}  // namespace driver
