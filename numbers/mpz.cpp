// Decimal conversions of GMP integers (subquadratic inside GMP for long texts).
#include "numbers/mpz.h"

#include "cells/invariant.h"

namespace numbers {

Mpz mpzFromDigits(std::string_view digits) {
  Mpz m;
  if (digits.empty()) return m;
  std::string nulTerminated(digits);
  cells::invariant(mpz_set_str(m.get(), nulTerminated.c_str(), 10) == 0, "digits expected");
  return m;
}

std::string digitsOfMpz(const Mpz& magnitude) {
  std::string out(mpz_sizeinbase(magnitude.get(), 10) + 2, '\0');
  mpz_get_str(out.data(), 10, magnitude.get());
  out.resize(std::char_traits<char>::length(out.c_str()));
  return out;
}

}  // namespace numbers
