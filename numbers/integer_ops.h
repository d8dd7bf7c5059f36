// Products, floor quotients, non-negative remainders and powers of numeral texts.
// Operands of up to 18 digits compute in 64 or 128 bits; longer ones through GMP.
// Results are canonical numeral atoms, or the shared "Z" for a zero divisor.
#pragma once

#include <string_view>

#include "cells/cell.h"
#include "numbers/mpz.h"

namespace numbers {

cells::Handle numeralMultiply(std::string_view a, std::string_view b);
// Rounds toward minus infinity: 07 over 2 is 04, 7 over 02 is 04, 07 over 02 is 3.
cells::Handle numeralDivide(std::string_view a, std::string_view b);
// Never negative: |a| mod |b| when the signs agree, else |b| minus it (0 stays 0):
// 07 cent 3 is 2, 7 cent 03 is 2, 07 cent 03 is 1.
cells::Handle numeralRemainder(std::string_view a, std::string_view b);
// A negative exponent gives 0 for every base; an exponent of 0 gives 1 (0 powa 0 too).
cells::Handle numeralPower(std::string_view base, std::string_view exponent);

// The numeral of a GMP integer, and the GMP integer of a numeral (numeral.h's format).
cells::Handle numeralFromMpz(const Mpz& m);
Mpz mpzFromNumeral(std::string_view numeral);

}  // namespace numbers
