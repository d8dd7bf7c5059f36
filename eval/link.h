// Linking and the run: checks and compiles the definitions, applies the main
// expression to the numeral of the argument vector's address, reduces it, and
// judges the value. An integer is the program's result; anything else is reported.
#pragma once

#include "cells/cell.h"
#include "driver/diagnostic.h"

namespace eval {

// `arguments` is the program's null-terminated argument vector.
void linkAndRun(driver::Diagnostic& d, char** arguments);

// The value bound to the empty name after a successful run.
cells::Handle programResult();

// The message of the report of a run that --max-steps stopped.
std::string stepLimitMessage();

// A text shortened for display to at most 56 bytes: the first 53 and "...".
std::string shortened(const std::string& text);

}  // namespace eval
