// Numb payloads, their exact arithmetic and their conversion to doubles.
#include "numbers/numb.h"

#include <cmath>
#include <limits>

#include "cells/convert.h"
#include "numbers/bit_form.h"
#include "numbers/integer_ops.h"
#include "numbers/numeral.h"
#include "numbers/real.h"

namespace numbers {

static constexpr mp_bitcnt_t kNoBit = ~mp_bitcnt_t{0};

// Calls visit(i) for each set bit i of a non-negative m, lowest first.
template <class Visit>
static void forEachSetBit(const Mpz& m, Visit&& visit) {
  for (mp_bitcnt_t b = mpz_scan1(m.get(), 0); b != kNoBit; b = mpz_scan1(m.get(), b + 1)) visit(b);
}

// Sequence (with sentinel) to value: sequence bit i + 1 is payload bit i.
static Dyadic dyadicFromSequence(const Mpz& sequence) {
  std::size_t payloadLength = sequence.bitLength() - 2;  // less the sentinel and the kind bit
  Dyadic d;
  if (payloadLength == 0) return d;
  d.f = (payloadLength - 1) / 2;
  Mpz digits = sequence;
  mpz_clrbit(digits.get(), payloadLength + 1);
  mpz_tdiv_q_2exp(digits.get(), digits.get(), 2);  // payload bit i now at i - 1
  forEachSetBit(digits, [&](mp_bitcnt_t b) {
    std::size_t i = b + 1;
    mpz_setbit(d.m.get(), i % 2 ? d.f + (i - 1) / 2 : d.f - i / 2);
  });
  if (!sequence.bit(1)) mpz_neg(d.m.get(), d.m.get());
  return d;
}

std::optional<Dyadic> numbValue(const cells::Cell* c) {
  if (cells::isPair(c)) {
    std::optional<Mpz> s = sequenceFromCell(c);
    if (!s || s->bitLength() < 2 || s->bit(0)) return std::nullopt;
    return dyadicFromSequence(*s);
  }
  if (cells::numeralForm(c) != cells::NumeralForm::numb) return std::nullopt;
  return dyadicFromSequence(sequenceFromText(cells::text(c)));
}

// Drops the fraction digits that are zero, so equal values have equal payloads.
static Dyadic normalised(Dyadic d) {
  if (d.m.sign() == 0) return Dyadic{};
  std::size_t shift = std::min<std::size_t>(mpz_scan1(d.m.get(), 0), d.f);
  mpz_tdiv_q_2exp(d.m.get(), d.m.get(), shift);
  d.f -= shift;
  return d;
}

std::string numbText(const Dyadic& value) {
  Dyadic d = normalised(value);
  if (d.m.sign() == 0) return "00";
  Mpz magnitude, sequence;
  mpz_abs(magnitude.get(), d.m.get());
  if (d.m.sign() > 0) mpz_setbit(sequence.get(), 1);
  forEachSetBit(magnitude, [&](mp_bitcnt_t b) {
    std::size_t payload = b >= d.f ? 2 * (b - d.f) + 1 : 2 * (d.f - b);
    mpz_setbit(sequence.get(), payload + 1);
  });
  mpz_setbit(sequence.get(), sequence.bitLength());
  return textFromSequence(sequence);
}

Dyadic dyadicFromInteger(std::string_view numeral) { return Dyadic{mpzFromNumeral(numeral), 0}; }

// The numerators of a and b over the common denominator 2^max(fa, fb).
static std::pair<Mpz, Mpz> aligned(const Dyadic& a, const Dyadic& b, std::size_t& f) {
  f = std::max(a.f, b.f);
  std::pair<Mpz, Mpz> out;
  mpz_mul_2exp(out.first.get(), a.m.get(), f - a.f);
  mpz_mul_2exp(out.second.get(), b.m.get(), f - b.f);
  return out;
}

Dyadic numbAdd(const Dyadic& a, const Dyadic& b) {
  Dyadic sum;
  auto [x, y] = aligned(a, b, sum.f);
  mpz_add(sum.m.get(), x.get(), y.get());
  return normalised(std::move(sum));
}

Dyadic numbNegate(const Dyadic& a) {
  Dyadic n = a;
  mpz_neg(n.m.get(), n.m.get());
  return n;
}

Dyadic numbMultiply(const Dyadic& a, const Dyadic& b) {
  Dyadic p;
  mpz_mul(p.m.get(), a.m.get(), b.m.get());
  p.f = a.f + b.f;
  return normalised(std::move(p));
}

std::optional<Dyadic> numbRemainder(const Dyadic& a, const Dyadic& b) {
  if (b.m.sign() == 0) return std::nullopt;
  Dyadic r;
  auto [x, y] = aligned(a, b, r.f);
  mpz_fdiv_r(r.m.get(), x.get(), y.get());
  mpz_abs(r.m.get(), r.m.get());
  return normalised(std::move(r));
}

bool numbLess(const Dyadic& a, const Dyadic& b) {
  std::size_t f;
  auto [x, y] = aligned(a, b, f);
  return mpz_cmp(x.get(), y.get()) < 0;
}

std::optional<Dyadic> numbPower(const Dyadic& base, std::string_view exponent) {
  if (isNegativeText(exponent)) return Dyadic{};
  std::optional<int64_t> e = smallNumeral(exponent);
  Dyadic p;
  if (e && *e == 0) {
    mpz_set_ui(p.m.get(), 1);
    return p;
  }
  Dyadic b = normalised(base);
  Mpz magnitude;
  mpz_abs(magnitude.get(), b.m.get());
  if (b.f == 0 && mpz_cmp_ui(magnitude.get(), 1) <= 0) {  // 0, 1 and -1 have every power
    bool odd = (exponent.back() - '0') % 2 == 1;
    mpz_set_si(p.m.get(), b.m.sign() < 0 && !odd ? 1 : b.m.sign());
    return p;
  }
  if (!e || double(*e) * double(magnitude.bitLength() + b.f) > double(8 * kLargestResultBytes))
    return std::nullopt;
  mpz_pow_ui(p.m.get(), b.m.get(), static_cast<unsigned long>(*e));
  p.f = b.f * static_cast<std::size_t>(*e);
  return p;
}

double doubleFromNumb(const Dyadic& d) {
  if (d.m.sign() == 0) return 0.0;
  double sign = d.m.sign() < 0 ? -1.0 : 1.0;
  Mpz magnitude;
  mpz_abs(magnitude.get(), d.m.get());
  long length = long(magnitude.bitLength()), f = long(d.f);
  long e = length - 1 - f;  // the value lies in [2^e, 2^(e+1))
  if (e >= 1024) return sign * std::numeric_limits<double>::infinity();
  if (e < -1074) return sign * 0.0;
  // Keep the 53 digits below the highest (normal) or those down to 2^-1074 (subnormal).
  long drop = e >= -1022 ? length - 53 : f - 1074;
  if (drop > 0) mpz_tdiv_q_2exp(magnitude.get(), magnitude.get(), mp_bitcnt_t(drop));
  long scale = drop > 0 ? drop - f : -f;
  return sign * std::ldexp(mpz_get_d(magnitude.get()), int(scale));
}

}  // namespace numbers
