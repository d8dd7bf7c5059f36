// Numeral texts: reading, signed addition and subtraction, comparison.
#include "numbers/numeral.h"

#include <algorithm>
#include <cstring>

#include "cells/convert.h"
#include "numbers/bit_form.h"

namespace numbers {

std::optional<int64_t> smallNumeral(std::string_view s) {
  std::string_view m = magnitudeOf(s);
  if (m.size() > 18) return std::nullopt;
  int64_t v = 0;
  for (char c : m) v = v * 10 + (c - '0');
  return isNegativeText(s) ? -v : v;
}

NumeralText::NumeralText(const cells::Cell* c) {
  if (cells::isPair(c)) {
    std::optional<std::string> s = streamNumeralText(c);
    if (!s) return;
    owned_ = std::move(*s);
    view_ = owned_;
    valid_ = true;
    return;
  }
  view_ = cells::numeralAtomText(c);
  valid_ = isDigitText(view_);
}

cells::Handle makeNumeral(std::string_view s) {
  cells::invariant(isNumeral(s), "malformed numeral text");
  return cells::makeAtom(s);
}

// ---- Magnitudes in reading order ---------------------------------------------

// Digit strings without leading zeros: the longer is larger, then byte order decides.
static int compareMagnitudes(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  int c = std::memcmp(a.data(), b.data(), a.size());
  return (c > 0) - (c < 0);
}

// Writes sign and digits of a result whose first digits may be zeros (the carry
// slot, or the high digits a subtraction cleared) as a canonical numeral.
static cells::Handle signedNumeral(bool negative, std::string& digits) {
  std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return makeNumeral("0");
  if (negative) --first;  // the zero before the first digit becomes the sign
  return makeNumeral(std::string_view(digits).substr(first));
}

// |a| + |b| with room for a carry and a sign in front.
static std::string addMagnitudes(std::string_view a, std::string_view b) {
  if (a.size() < b.size()) std::swap(a, b);
  std::string r(a.size() + 2, '0');
  int carry = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    int d = (a[a.size() - 1 - i] - '0') + carry + (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
    carry = d >= 10;
    r[r.size() - 1 - i] = char('0' + d - 10 * carry);
  }
  r[1] = char('0' + carry);
  return r;
}

// |a| - |b| for |a| >= |b|, with one leading zero kept free for a sign.
static std::string subtractMagnitudes(std::string_view a, std::string_view b) {
  std::string r(a.size() + 1, '0');
  int borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    int d = (a[a.size() - 1 - i] - '0') - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
    borrow = d < 0;
    r[r.size() - 1 - i] = char('0' + d + 10 * borrow);
  }
  cells::invariant(borrow == 0, "subtraction of a larger magnitude");
  return r;
}

// a + b, or a - b when `negateB`: equal signs add magnitudes, different signs
// subtract the smaller from the larger, whose sign the result takes.
static cells::Handle addSigned(std::string_view a, std::string_view b, bool negateB) {
  cells::invariant(isNumeral(a) && isNumeral(b), "arithmetic on a malformed numeral");
  std::optional<int64_t> x = smallNumeral(a), y = smallNumeral(b);
  if (x && y) return cells::numeralFromInt64(negateB ? *x - *y : *x + *y);
  bool na = isNegativeText(a), nb = isNegativeText(b) != negateB;
  std::string_view ma = magnitudeOf(a), mb = magnitudeOf(b);
  std::string r;
  if (na == nb) {
    r = addMagnitudes(ma, mb);
    return signedNumeral(na, r);
  }
  if (compareMagnitudes(ma, mb) < 0) {
    r = subtractMagnitudes(mb, ma);
    return signedNumeral(nb, r);
  }
  r = subtractMagnitudes(ma, mb);
  return signedNumeral(na, r);
}

cells::Handle numeralAdd(std::string_view a, std::string_view b) { return addSigned(a, b, false); }

cells::Handle numeralSubtract(std::string_view a, std::string_view b) { return addSigned(a, b, true); }

std::string numeralNegate(std::string_view a) {
  cells::invariant(isNumeral(a), "negation of a malformed numeral");
  if (a == "0") return "0";
  if (isNegativeText(a)) return std::string(a.substr(1));
  return "0" + std::string(a);
}

// ---- Order ---------------------------------------------------------------------

bool numeralTextLess(std::string_view a, std::string_view b) {
  bool na = isNegativeText(a), nb = isNegativeText(b);
  if (na != nb) return na;
  int c = compareMagnitudes(magnitudeOf(a), magnitudeOf(b));
  return na ? c > 0 : c < 0;
}

}  // namespace numbers
