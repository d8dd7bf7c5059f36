// Numbs: exact signed binary fractions written as numeral texts that begin "00".
// A numb's payload is its sequence without the kind bit (bit_form.h): payload bit 0
// is the sign (1 positive), bit 2p + 1 the digit of weight 2^p, bit 2q the digit of
// weight 2^-q; the empty payload is zero. Arithmetic runs on the value m / 2^f that
// a payload spells (m a signed integer), which is exact; results go back to the
// shortest payload of their value.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "cells/cell.h"
#include "numbers/mpz.h"

namespace numbers {

struct Dyadic {
  Mpz m;              // signed numerator
  std::size_t f = 0;  // the value is m / 2^f
};

// The value of a numb cell (atom or stream); nothing when it is not a numb.
std::optional<Dyadic> numbValue(const cells::Cell* c);
// The numb text of a value: zero is "00".
std::string numbText(const Dyadic& d);

// The numb of an integer numeral: the same value, no fraction digits.
Dyadic dyadicFromInteger(std::string_view numeral);

Dyadic numbAdd(const Dyadic& a, const Dyadic& b);
Dyadic numbNegate(const Dyadic& a);
Dyadic numbMultiply(const Dyadic& a, const Dyadic& b);
// Decision: the remainder goes with the floor quotient, as for integers: the
// magnitude of a - b * floor(a / b); nothing for a zero divisor.
std::optional<Dyadic> numbRemainder(const Dyadic& a, const Dyadic& b);
bool numbLess(const Dyadic& a, const Dyadic& b);
// Decision: integer exponents only, as for integers: a negative exponent gives
// zero, 0 gives 1; nothing when the result would need more than 2^40 bits.
std::optional<Dyadic> numbPower(const Dyadic& base, std::string_view exponent);

// Truncates toward zero; beyond the double range it gives the signed infinity,
// below the least subnormal the signed zero.
double doubleFromNumb(const Dyadic& d);

}  // namespace numbers
