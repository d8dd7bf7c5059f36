// The phases that follow reading the program file, in their fixed order: prelude,
// reader, checks and compilation, linking and the run.
#pragma once

#include <cstdint>
#include <string>

#include "cells/cell.h"
#include "driver/diagnostic.h"

namespace driver {

// Runs each phase while `d` stays empty; gives the program's integer result
// (reduced to 64 bits) when every phase succeeded. `arguments` is the program's
// null-terminated argument vector.
int64_t runPhases(const std::string& program, char** arguments, Diagnostic& d);

// The phases for a session's input: the main expression of `program` is evaluated
// as it stands (not applied to an argument vector), and its value, of any kind, is
// given; an empty handle when `d` is filled. With `evaluate` false, only read and
// checked.
cells::Handle runSessionPhases(const std::string& program, bool evaluate, Diagnostic& d);

}  // namespace driver
