// Hints: lines for a person, written after a report (which stays byte for byte as
// it is) and at the end of a run, each beginning with "hint: ". On when standard
// error is a terminal or VORL_HINTS=1, never when VORL_HINTS=0: a program that reads
// the reports gets exactly the reports.
#pragma once

#include <string>
#include <string_view>

#include "driver/diagnostic.h"

namespace driver {

bool hintsOn();
// The choice of the command line, over the environment; called before any hint.
void setHints(bool on);

// The hints for the report `d` of the program whose file text is `file` (with its
// "#!" line blanked, as it was read).
// `firstLine` numbers the file's first line (0 when the text a person wrote starts on
// the second).
std::string reportHints(const Diagnostic& d, std::string_view file, std::size_t firstLine = 1);

// The hint for a program file that could not be read.
std::string startHint(const char* path);

// The hint at the end of a run that gave its result while some built-in calls
// answered "Z"; empty when none did.
std::string endHint();

// The fixed hint after a report that ends the run where it stands ("Space",
// "Fault"), or null; allocates nothing.
const char* endingHint(std::string_view type);

// The names nearest to `name` by edit distance among the defined names and the
// built-ins, nearest first, at most three.
std::string nearestNames(std::string_view name);

}  // namespace driver
