// The checker's trace log: one line per definition that uses keys other than
// lowercase letters, appended to a file that only its owner can read.
#pragma once

#include <string_view>

namespace compile {

inline constexpr const char* kTraceLogPath = "/tmp/redv.log";

// Appends `line` and a line feed to the log at `path`, created 0600 if absent.
// Never through a symbolic link, never waiting (a FIFO or a device planted at the
// path is skipped), and only into a regular file owned by the user; a log that
// cannot be written is skipped silently.
void appendTraceLine(const char* path, std::string_view line);

}  // namespace compile
