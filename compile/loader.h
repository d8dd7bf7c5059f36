// Program text compiled while a program runs, for the built-in `load`: read and
// checked as a program file is, its definitions added to the table beside those of
// the running program.
#pragma once

#include <string_view>

#include "cells/cell.h"

namespace compile {

// The compiled main expression of `program`. Its definitions join the table; the
// running program's own main expression stays under the empty name. An empty handle
// when the text gives any diagnostic or defines a name the table already holds; the
// table is then left exactly as it was.
cells::Handle compileProgramText(std::string_view program);

// Gives the language built-ins of the library layer the interning set, the value
// printer and `compileProgramText`. Called once at start-up.
void installLanguageSeams();

}  // namespace compile
