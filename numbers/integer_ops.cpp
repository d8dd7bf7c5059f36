// Multiplication, division, remainder and powers of integers.
#include "numbers/integer_ops.h"

#include "cells/common_atoms.h"
#include "cells/convert.h"
#include "numbers/mpz.h"
#include "numbers/numeral.h"

namespace numbers {

Mpz mpzFromNumeral(std::string_view numeral) {
  Mpz m = mpzFromDigits(magnitudeOf(numeral));
  if (isNegativeText(numeral)) mpz_neg(m.get(), m.get());
  return m;
}

// GMP writes "-" before a negative value's digits, where a numeral has its "0".
cells::Handle numeralFromMpz(const Mpz& m) {
  std::string digits(mpz_sizeinbase(m.get(), 10) + 2, '\0');
  mpz_get_str(digits.data(), 10, m.get());
  if (digits[0] == '-') digits[0] = '0';
  return makeNumeral(std::string_view(digits.c_str()));
}

// |v| as a numeral for 128-bit values (products of two 18-digit operands).
static cells::Handle numeralFromInt128(__int128 v) {
  unsigned __int128 m = v < 0 ? -static_cast<unsigned __int128>(v) : static_cast<unsigned __int128>(v);
  if (m == 0) return makeNumeral("0");
  char digits[42];
  char* p = digits + sizeof digits;
  for (; m; m /= 10) *--p = char('0' + int(m % 10));
  if (v < 0) *--p = '0';
  return makeNumeral(std::string_view(p, std::size_t(digits + sizeof digits - p)));
}

cells::Handle numeralMultiply(std::string_view a, std::string_view b) {
  cells::invariant(isNumeral(a) && isNumeral(b), "product of a malformed numeral");
  std::optional<int64_t> x = smallNumeral(a), y = smallNumeral(b);
  if (x && y) return numeralFromInt128(static_cast<__int128>(*x) * *y);
  if (a.size() + b.size() > kLargestResultBytes) return cells::common(cells::Common::Z);
  Mpz p;
  mpz_mul(p.get(), mpzFromNumeral(a).get(), mpzFromNumeral(b).get());
  return numeralFromMpz(p);
}

static bool isZero(std::string_view numeral) { return numeral == "0"; }

// Floor quotient and remainder of 64-bit values (b not 0, no overflow at 18 digits).
static int64_t floorQuotient(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

static int64_t floorRemainder(int64_t a, int64_t b) { return a - b * floorQuotient(a, b); }

cells::Handle numeralDivide(std::string_view a, std::string_view b) {
  cells::invariant(isNumeral(a) && isNumeral(b), "quotient of a malformed numeral");
  if (isZero(b)) return cells::common(cells::Common::Z);
  std::optional<int64_t> x = smallNumeral(a), y = smallNumeral(b);
  if (x && y) return cells::numeralFromInt64(floorQuotient(*x, *y));
  Mpz q;
  mpz_fdiv_q(q.get(), mpzFromNumeral(a).get(), mpzFromNumeral(b).get());
  return numeralFromMpz(q);
}

// The floor remainder has the divisor's sign; its magnitude is the result.
cells::Handle numeralRemainder(std::string_view a, std::string_view b) {
  cells::invariant(isNumeral(a) && isNumeral(b), "remainder of a malformed numeral");
  if (isZero(b)) return cells::common(cells::Common::Z);
  std::optional<int64_t> x = smallNumeral(a), y = smallNumeral(b);
  if (x && y) {
    int64_t r = floorRemainder(*x, *y);
    return cells::numeralFromInt64(r < 0 ? -r : r);
  }
  Mpz r;
  mpz_fdiv_r(r.get(), mpzFromNumeral(a).get(), mpzFromNumeral(b).get());
  mpz_abs(r.get(), r.get());
  return numeralFromMpz(r);
}

// Decision: a power whose magnitude would need more than 2^40 bits (more memory
// than any host holds; kLargestResultBytes) gives "Z" rather than exhausting memory. Bases 0, 1 and -1
// have results of every exponent.
cells::Handle numeralPower(std::string_view base, std::string_view exponent) {
  cells::invariant(isNumeral(base) && isNumeral(exponent), "power of a malformed numeral");
  if (isNegativeText(exponent)) return makeNumeral("0");
  if (isZero(exponent)) return makeNumeral("1");
  bool oddExponent = (exponent.back() - '0') % 2 == 1;
  std::string_view m = magnitudeOf(base);
  if (m == "0" || m == "1") return makeNumeral(isNegativeText(base) && oddExponent ? "01" : m);
  std::optional<int64_t> e = smallNumeral(exponent);
  double bits = double(m.size()) * 3.33;
  if (!e || double(*e) * bits > double(8 * kLargestResultBytes)) return cells::common(cells::Common::Z);
  Mpz p;
  mpz_pow_ui(p.get(), mpzFromNumeral(base).get(), static_cast<unsigned long>(*e));
  return numeralFromMpz(p);
}

}  // namespace numbers
