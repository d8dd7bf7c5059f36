// The numeric built-ins: operators by argument kinds, and the C wrappers.
#include "library/numeric_builtins.h"

#include <cstdlib>
#include <cstring>
#include <optional>

#include "numbers/integer_ops.h"
#include "numbers/numb.h"
#include "numbers/numeral.h"
#include "numbers/short_numeral.h"
#include "numbers/text_ops.h"

namespace numbers {

using cells::ValueKind;

using cells::Cell;
using cells::Handle;

static Handle undefined() { return cells::common(cells::Common::Z); }

// The value kind, with an atom that only looks like a real (one of another length)
// counted as "[void]".
static ValueKind operandKind(const Cell* c) {
  ValueKind kind = valueKind(c);
  return kind == ValueKind::real && !isReal(c) ? ValueKind::other : kind;
}

static bool isTextKind(ValueKind kind) { return kind == ValueKind::byteString || kind == ValueKind::text; }

// ---- Arithmetic -------------------------------------------------------------

enum class Op { plus, dash, mult, over, cent, powa };

static Handle integerArithmetic(Op op, const Cell* x, const Cell* y) {
  NumeralText a(x), b(y);
  if (!a.valid() || !b.valid()) return undefined();
  switch (op) {
    case Op::plus: return numeralAdd(a.view(), b.view());
    case Op::dash: return numeralSubtract(a.view(), b.view());
    case Op::mult: return numeralMultiply(a.view(), b.view());
    case Op::over: return numeralDivide(a.view(), b.view());
    case Op::cent: return numeralRemainder(a.view(), b.view());
    case Op::powa: return numeralPower(a.view(), b.view());
  }
  return undefined();
}

static std::optional<double> doubleOf(const Cell* c, ValueKind kind) {
  if (kind == ValueKind::real) return doubleFromReal(c);
  if (kind == ValueKind::numb) {
    std::optional<Dyadic> d = numbValue(c);
    return d ? std::optional<double>(doubleFromNumb(*d)) : std::nullopt;
  }
  NumeralText t(c);
  return t.valid() ? std::optional<double>(doubleFromInteger(t.view())) : std::nullopt;
}

// C double arithmetic: IEEE results (infinities, NaNs) without checks.
static Handle realArithmetic(Op op, const Cell* x, ValueKind kx, const Cell* y, ValueKind ky) {
  std::optional<double> a = doubleOf(x, kx), b = doubleOf(y, ky);
  if (!a || !b) return undefined();
  switch (op) {
    case Op::plus: return realFromDouble(*a + *b);
    case Op::dash: return realFromDouble(*a - *b);
    case Op::mult: return realFromDouble(*a * *b);
    case Op::over: return realFromDouble(*a / *b);
    case Op::cent: return realFromDouble(std::fmod(*a, *b));
    case Op::powa: return realFromDouble(std::pow(*a, *b));
  }
  return undefined();
}

static std::optional<Dyadic> numbOf(const Cell* c, ValueKind kind) {
  if (kind == ValueKind::numb) return numbValue(c);
  NumeralText t(c);
  return t.valid() ? std::optional<Dyadic>(dyadicFromInteger(t.view())) : std::nullopt;
}

static Handle numbAtom(std::optional<Dyadic> d) { return d ? cells::makeAtom(numbText(*d)) : undefined(); }

// Numbs, or a numb and an integer made a numb. Division has no numb meaning.
// Decision: a numb exponent has none either (integer exponents are taken earlier).
static Handle numbArithmetic(Op op, const Cell* x, ValueKind kx, const Cell* y, ValueKind ky) {
  std::optional<Dyadic> a = numbOf(x, kx), b = numbOf(y, ky);
  if (!a || !b) return undefined();
  switch (op) {
    case Op::plus: return numbAtom(numbAdd(*a, *b));
    case Op::dash: return numbAtom(numbAdd(*a, numbNegate(*b)));
    case Op::mult:
      if (double(a->m.bitLength() + b->m.bitLength()) + double(a->f + b->f) > double(8 * kLargestResultBytes))
        return undefined();
      return numbAtom(numbMultiply(*a, *b));
    case Op::cent: return numbAtom(numbRemainder(*a, *b));
    case Op::over:
    case Op::powa: return undefined();
  }
  return undefined();
}

// numb ^ integer: repeated products of the numb.
static Handle numbPowerOf(const Cell* x, const Cell* y) {
  std::optional<Dyadic> base = numbValue(x);
  NumeralText e(y);
  if (!base || !e.valid()) return undefined();
  return numbAtom(numbPower(*base, e.view()));
}

// Texts: `plus` joins with anything numeric; `dash` cuts a text by an integer;
// `mult` repeats a text an integer number of times. Decision: `dash` and `mult` of
// two texts have no meaning ("Z").
static Handle textArithmetic(Op op, const Cell* x, ValueKind kx, const Cell* y, ValueKind ky, bool soleX) {
  if (op == Op::plus) return textPlus(x, kx, y, ky, soleX);
  if (op != Op::dash && op != Op::mult) return undefined();
  bool textFirst = isTextKind(kx);
  const Cell* text = textFirst ? x : y;
  const Cell* count = textFirst ? y : x;
  if (operandKind(count) != ValueKind::integer || (op == Op::dash && !textFirst)) return undefined();
  NumeralText n(count);
  if (!n.valid()) return undefined();
  return op == Op::dash ? textDash(text, kx, n.view()) : textMult(text, textFirst ? kx : ky, n.view());
}

// Every kind but two short numerals added or subtracted. `soleX`: only this call
// sees x (a join may grow it in place).
[[gnu::noinline]] static Handle arithmetic(Op op, const Cell* x, const Cell* y, bool soleX = false) {
  ValueKind kx = operandKind(x), ky = operandKind(y);
  if (kx == ValueKind::other || ky == ValueKind::other) return undefined();
  if (op == Op::powa && kx == ValueKind::numb && ky == ValueKind::integer) return numbPowerOf(x, y);
  if (isTextKind(kx) || isTextKind(ky)) return textArithmetic(op, x, kx, y, ky, soleX);
  if (kx == ValueKind::real || ky == ValueKind::real) return realArithmetic(op, x, kx, y, ky);
  if (kx == ValueKind::numb || ky == ValueKind::numb) return numbArithmetic(op, x, kx, y, ky);
  return integerArithmetic(op, x, y);
}

// Sums and differences of short numerals are the common case of every loop: they
// take their own path, kept small so that it sets up no frame for the general one.
Handle plusImpl(Term x, Term y) {
  short_numeral::Value a, b;
  if (short_numeral::readBoth(x.cell, y.cell, a, b))
    if (Handle result = short_numeral::sum(a, b)) return result;
  return arithmetic(Op::plus, x.cell, y.cell, x.sole);
}

Handle dashImpl(Term x, Term y) {
  short_numeral::Value a, b;
  if (short_numeral::readBoth(x.cell, y.cell, a, b))
    if (Handle result = short_numeral::difference(a, b)) return result;
  return arithmetic(Op::dash, x.cell, y.cell);
}

Handle multImpl(Term x, Term y) { return arithmetic(Op::mult, x.cell, y.cell); }
Handle overImpl(Term x, Term y) { return arithmetic(Op::over, x.cell, y.cell); }
Handle centImpl(Term x, Term y) { return arithmetic(Op::cent, x.cell, y.cell); }
Handle powaImpl(Term x, Term y) { return arithmetic(Op::powa, x.cell, y.cell); }

// ---- Order and equality ---------------------------------------------------------

// x < y for two values of one kind; nothing when a value cannot be read.
static std::optional<bool> lessOfKind(const Cell* x, const Cell* y, ValueKind kind) {
  if (isTextKind(kind)) return compareTexts(x, y, kind) < 0;
  if (kind == ValueKind::numb) {
    std::optional<Dyadic> a = numbValue(x), b = numbValue(y);
    if (!a || !b) return std::nullopt;
    return numbLess(*a, *b);
  }
  NumeralText a(x), b(y);
  if (!a.valid() || !b.valid()) return std::nullopt;
  return numeralTextLess(a.view(), b.view());
}

// Kinds order as their letters: post < real < integer < numb < text. Reals compare
// as C does, so with a NaN both `less` and `gteq` are false.
[[gnu::noinline]] static Handle order(const Cell* x, const Cell* y, bool wantLess) {
  ValueKind kx = operandKind(x), ky = operandKind(y);
  if (kx == ValueKind::other || ky == ValueKind::other) return undefined();
  if (kx != ky) return cells::truth((kx < ky) == wantLess);
  if (kx == ValueKind::real) {
    double a = doubleFromReal(x), b = doubleFromReal(y);
    return cells::truth(wantLess ? b > a : a >= b);
  }
  std::optional<bool> less = lessOfKind(x, y, kx);
  return less ? cells::truth(*less == wantLess) : undefined();
}

// Short numerals first, as for the sums. A test of them is decided at once by the
// machine through the decisions, which the calls share.
int lessDecision(const Cell* const* arguments) {
  short_numeral::Value a, b;
  return short_numeral::readBoth(arguments[0], arguments[1], a, b) ? short_numeral::less(a, b) : -1;
}

int gteqDecision(const Cell* const* arguments) {
  short_numeral::Value a, b;
  return short_numeral::readBoth(arguments[0], arguments[1], a, b) ? !short_numeral::less(a, b) : -1;
}

Handle lessImpl(Term x, Term y) {
  const Cell* arguments[] = {x.cell, y.cell};
  if (int less = lessDecision(arguments); less >= 0) return cells::truth(less);
  return order(x.cell, y.cell, true);
}

Handle gteqImpl(Term x, Term y) {
  const Cell* arguments[] = {x.cell, y.cell};
  if (int gteq = gteqDecision(arguments); gteq >= 0) return cells::truth(gteq);
  return order(x.cell, y.cell, false);
}

// The very same cell is equal to itself whatever its kind; numbers compare by their
// canonical texts, reals as C doubles, posts and texts by their bytes.
int sameDecision(const Cell* const* arguments) {
  if (arguments[0] == arguments[1]) return 1;
  short_numeral::Value a, b;
  return short_numeral::readBoth(arguments[0], arguments[1], a, b) ? short_numeral::equal(a, b) : -1;
}

int diffDecision(const Cell* const* arguments) {
  int same = sameDecision(arguments);
  return same < 0 ? -1 : !same;
}

static std::optional<bool> equal(const Cell* x, const Cell* y) {
  const Cell* arguments[] = {x, y};
  if (int same = sameDecision(arguments); same >= 0) return same == 1;
  ValueKind kx = operandKind(x), ky = operandKind(y);
  if (kx == ValueKind::other || ky == ValueKind::other) return std::nullopt;
  if (kx != ky) return false;
  if (kx == ValueKind::real) return doubleFromReal(x) == doubleFromReal(y);
  if (isTextKind(kx)) return compareTexts(x, y, kx) == 0;
  NumeralText a(x), b(y);
  if (!a.valid() || !b.valid()) return std::nullopt;
  return a.view() == b.view();
}

Handle sameImpl(Term x, Term y) {
  std::optional<bool> e = equal(x.cell, y.cell);
  return e ? cells::truth(*e) : undefined();
}

Handle diffImpl(Term x, Term y) {
  std::optional<bool> e = equal(x.cell, y.cell);
  return e ? cells::truth(!*e) : undefined();
}

// ---- real ---------------------------------------------------------------------------

// Decision: a list is ((V head) tail) ending in the empty list "["; `real` reads a
// list of exactly 64 truth values ("K" 1, "H" 0) as a double's bits, most
// significant first.
static std::optional<double> doubleFromTruthList(const Cell* list) {
  uint64_t bits = 0;
  for (int i = 0; i < 64; ++i, list = cells::rightOf(list)) {
    if (!cells::isPair(list) || !cells::isPair(cells::leftOf(list))) return std::nullopt;
    const Cell* cons = cells::leftOf(list);
    const Cell* head = cells::rightOf(cons);
    if (!cells::isAtomText(cells::leftOf(cons), "V") ||
        !(cells::isAtomText(head, "K") || cells::isAtomText(head, "H")))
      return std::nullopt;
    bits = bits << 1 | uint64_t(cells::isAtomText(head, "K"));
  }
  if (!cells::isAtomText(list, "[")) return std::nullopt;
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

// Decision: a text converts by its decoded content ("[1.5]" is 1.5), not by its
// bracketed bytes, whose leading "[" would make every text 0.0.
Handle realImpl(Term x) {
  const Cell* c = x.cell;
  switch (operandKind(c)) {
    case ValueKind::byteString:
      return realFromDouble(std::strtod(cells::byteStringPayload(c).data(), nullptr));
    case ValueKind::real: return Handle(const_cast<Cell*>(c));
    case ValueKind::text: return realFromDouble(std::atof(decodeText(textContent(c)).c_str()));
    case ValueKind::other: {
      std::optional<double> d = doubleFromTruthList(c);
      return d ? realFromDouble(*d) : undefined();
    }
    default: {
      std::optional<double> d = doubleOf(c, operandKind(c));
      return d ? realFromDouble(*d) : undefined();
    }
  }
}

// ---- C wrappers -------------------------------------------------------------------

RealResult ldexpImpl(Real x, Int n) { return {std::ldexp(x.value, int(n.value))}; }
RealResult frexpImpl(Real x, Int exponentAddress) {
  return {std::frexp(x.value, exponentAddress.pointer<int>())};
}
RealResult modfImpl(Real x, Int integralAddress) {
  return {std::modf(x.value, integralAddress.pointer<double>())};
}
// `abs` and `labs` both take the whole 64-bit value, as the language defines them
// (wider than C's int for `abs`); the most negative value stays itself (the two's
// complement negation).
Num labsImpl(Int x) {
  uint64_t v = uint64_t(x.value);
  return {int64_t(v >> 63 ? uint64_t{0} - v : v)};
}
Num absImpl(Int x) { return labsImpl(x); }
RealResult atofImpl(Text s) { return {std::atof(s.chars)}; }
Num atoiImpl(Text s) { return {std::atoi(s.chars)}; }
Num atolImpl(Text s) { return {std::atol(s.chars)}; }
RealResult strtodImpl(Text s, Int endAddress) { return {std::strtod(s.chars, endAddress.pointer<char*>())}; }
Num strtolImpl(Text s, Int endAddress, Int base) {
  return {std::strtol(s.chars, endAddress.pointer<char*>(), int(base.value))};
}
UNum strtoulImpl(Text s, Int endAddress, Int base) {
  return {std::strtoul(s.chars, endAddress.pointer<char*>(), int(base.value))};
}
Num randImpl() { return {std::rand()}; }
// Platform: this host's RAND_MAX.
Num rand_maxImpl() { return {RAND_MAX}; }
Void srandImpl(Int seed) {
  std::srand(unsigned(seed.value));
  return {};
}

}  // namespace numbers
