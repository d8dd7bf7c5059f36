// Reals: one IEEE 754 double in a nine-byte atom, a blank followed by the double's
// eight bytes in the host's byte order. The bytes may hold NULs: a real is always
// read as bytes 1 to 8 of its text, never by its terminator.
#pragma once

#include <string>

#include "cells/cell.h"

namespace numbers {

cells::Handle realFromDouble(double d);
// Assertion failure unless the cell is a nine-byte atom beginning with a blank.
double doubleFromReal(const cells::Cell* real);
bool isReal(const cells::Cell* c);
// The C format "%e" of the double ("1.500000e+00", "inf", "-nan").
std::string realText(const cells::Cell* real);
// The double nearest to an integer as strtod rounds it; an infinity beyond the range.
double doubleFromInteger(std::string_view numeral);

}  // namespace numbers
