// Multiplication, division, remainder and powers of integers.
#include "numbers/integer_ops.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "cells/common_atoms.h"
#include "cells/convert.h"
#include "cells/digit_words.h"
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

// Long numerals with short ones (at most 18 digits) are worked on the decimal text
// itself, in limbs of eight digits read and written a word at a time: a number grown
// by small factors (a factorial) or cut by small divisors then never goes to binary
// and back, which would cost more than the operation itself.
constexpr uint64_t kLimbBase = 100000000;

// The limbs of a magnitude's digits, least significant first; the top limb may hold
// fewer than eight digits.
static std::vector<uint64_t> limbsOf(std::string_view digits) {
  std::vector<uint64_t> limbs((digits.size() + 7) / 8, 0);
  for (std::size_t i = 0; i < limbs.size(); ++i) {
    std::size_t end = digits.size() - 8 * i;
    if (end >= 8) {
      limbs[i] = cells::eightDigitValue(digits.data() + end - 8);
    } else {
      for (std::size_t d = 0; d < end; ++d) limbs[i] = limbs[i] * 10 + uint64_t(digits[d] - '0');
    }
  }
  return limbs;
}

// The numeral of a sign and limbs (least significant first, each below 10^8).
static cells::Handle numeralOfLimbs(std::vector<uint64_t>& limbs, bool negative) {
  while (limbs.size() > 1 && limbs.back() == 0) limbs.pop_back();
  if (limbs.empty() || (limbs.size() == 1 && limbs[0] == 0)) return makeNumeral("0");
  char top[24];
  int topDigits = std::snprintf(top, sizeof top, "%llu", static_cast<unsigned long long>(limbs.back()));
  std::size_t length = negative + std::size_t(topDigits) + 8 * (limbs.size() - 1);
  return cells::makeAtomWith(length, [&](char* out) {
    if (negative) *out++ = '0';
    std::memcpy(out, top, std::size_t(topDigits));
    out += topDigits;
    for (std::size_t i = limbs.size() - 1; i-- > 0; out += 8) {
      uint64_t text = cells::eightDigitText(limbs[i]);
      std::memcpy(out, &text, 8);
    }
  });
}

static uint64_t absolute(int64_t v) { return v < 0 ? uint64_t{0} - uint64_t(v) : uint64_t(v); }

// A long numeral times a short one: a limb times a multiplier limb stays below 2^64.
static cells::Handle multiplyBySmall(std::string_view a, int64_t factor) {
  uint64_t multiplier[3];
  std::size_t k = 0;
  for (uint64_t m = absolute(factor); m; m /= kLimbBase) multiplier[k++] = m % kLimbBase;
  std::vector<uint64_t> limbs = limbsOf(magnitudeOf(a)), product(limbs.size() + k, 0);
  for (std::size_t j = 0; j < k; ++j) {
    uint64_t carry = 0;
    for (std::size_t i = 0; i < limbs.size(); ++i) {
      uint64_t t = limbs[i] * multiplier[j] + product[i + j] + carry;
      product[i + j] = t % kLimbBase;
      carry = t / kLimbBase;
    }
    product[limbs.size() + j] = carry;
  }
  return numeralOfLimbs(product, isNegativeText(a) != (factor < 0));
}

// |a| divided by a short magnitude d > 0, from the top limb down: the quotient's
// limbs in place of the dividend's, and the remainder.
static uint64_t divideBySmall(std::vector<uint64_t>& limbs, uint64_t d) {
  uint64_t remainder = 0;
  bool narrow = d <= (UINT64_MAX - kLimbBase) / kLimbBase;  // remainder * 10^8 + limb fits a word
  for (std::size_t i = limbs.size(); i-- > 0;) {
    if (narrow) {
      uint64_t current = remainder * kLimbBase + limbs[i];
      limbs[i] = current / d;
      remainder = current % d;
    } else {
      unsigned __int128 current = static_cast<unsigned __int128>(remainder) * kLimbBase + limbs[i];
      limbs[i] = uint64_t(current / d);
      remainder = uint64_t(current % d);
    }
  }
  return remainder;
}

static void addOne(std::vector<uint64_t>& limbs) {
  for (uint64_t& limb : limbs) {
    if (++limb < kLimbBase) return;
    limb = 0;
  }
  limbs.push_back(1);
}

// The floor quotient of a long numeral by a short nonzero one: when the signs differ
// and the division is not exact, the magnitude's quotient plus one, negated.
static cells::Handle floorDivideBySmall(std::string_view a, int64_t divisor) {
  std::vector<uint64_t> q = limbsOf(magnitudeOf(a));
  uint64_t r = divideBySmall(q, absolute(divisor));
  bool negative = isNegativeText(a) != (divisor < 0);
  if (negative && r != 0) addOne(q);
  return numeralOfLimbs(q, negative);
}

// The floor remainder's magnitude: |a| mod d when the signs agree (or it is 0),
// d minus that when they differ.
static cells::Handle floorRemainderBySmall(std::string_view a, int64_t divisor) {
  std::vector<uint64_t> limbs = limbsOf(magnitudeOf(a));
  uint64_t d = absolute(divisor), r = divideBySmall(limbs, d);
  bool signsDiffer = isNegativeText(a) != (divisor < 0);
  return cells::numeralFromUInt64(signsDiffer && r != 0 ? d - r : r);
}

cells::Handle numeralMultiply(std::string_view a, std::string_view b) {
  cells::invariant(isNumeral(a) && isNumeral(b), "product of a malformed numeral");
  std::optional<int64_t> x = smallNumeral(a), y = smallNumeral(b);
  if (x && y) return numeralFromInt128(static_cast<__int128>(*x) * *y);
  if (a.size() + b.size() > kLargestResultBytes) return cells::common(cells::Common::Z);
  if (y) return multiplyBySmall(a, *y);
  if (x) return multiplyBySmall(b, *x);
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
  if (y) return floorDivideBySmall(a, *y);
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
  if (y) return floorRemainderBySmall(a, *y);
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
