// The program reader: the text of a program file into the definitions table. A
// program is a main expression followed by comma-separated definitions, name\p\body
// or the unit form name()\body (a value computed once).
#pragma once

#include <string>
#include <string_view>

#include "driver/diagnostic.h"
#include "front/lexer.h"

namespace front {

// Runs of '_' and lowercase letters; one uppercase letter, control character (1 to
// 31) or byte from 127 up; or "[c]" for an operator character c.
bool isDefinableName(std::string_view name);

// "[+]" becomes "+"; every other name stays as it is.
std::string canonicalName(std::string_view name);

// Reads the program into the tables that the prelude seeded; the record stays
// "Empty" on success, else it holds "Match", "Comma", "Lower" or "Built".
driver::Diagnostic readProgram(std::string_view text);

}  // namespace front
