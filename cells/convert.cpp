// Cell conversions to and from host integers and addresses.
#include "cells/convert.h"

#include <bit>
#include <cstring>

#include "cells/digit_words.h"

namespace cells {

NumberSeams& numberSeams() {
  static NumberSeams seams;
  return seams;
}

static bool isStreamHead(const Cell* c) {
  return isPair(c) && isAtomText(leftOf(c), "J") && isAtomText(rightOf(c), "K");
}

// The numeral text of an integer cell; a bit stream is normalised by the numbers layer.
static std::string numeralTextOf(const Cell* c) {
  if (isAtom(c)) return std::string(numeralAtomText(c));
  auto streamText = numberSeams().streamText;
  invariant(streamText != nullptr, "bit stream read before the numbers layer is installed");
  return streamText(c);
}

// Decimal digits of m > 0.
static std::size_t decimalLength(uint64_t m) {
  static constexpr uint64_t kPowers[20] = {1,
                                           10,
                                           100,
                                           1000,
                                           10000,
                                           100000,
                                           1000000,
                                           10000000,
                                           100000000,
                                           1000000000,
                                           10000000000,
                                           100000000000,
                                           1000000000000,
                                           10000000000000,
                                           100000000000000,
                                           1000000000000000,
                                           10000000000000000,
                                           100000000000000000,
                                           1000000000000000000,
                                           10000000000000000000u};
  std::size_t t = std::size_t(std::bit_width(m)) * 1233 >> 12;  // about log10(2^width)
  return t + (m >= kPowers[t]);
}

// Short numerals (most results of a program's arithmetic) are built as the whole
// small block at once: sixteen digits of the magnitude, shifted so that the leading
// zeros fall off, which leaves the NUL and zero fill behind the text.
static Handle shortNumeral(uint64_t m, std::size_t digits, bool negative) {
  using Wide = unsigned __int128;
  Wide text = Wide(eightDigitText(m % 100000000)) << 64 | eightDigitText(m / 100000000);
  text >>= 8 * (16 - digits);
  if (negative) text = text << 8 | '0';
  return makeSmallAtom(uint64_t(text), uint64_t(text >> 64), digits + negative);
}

static Handle numeralOfMagnitude(uint64_t m, bool negative) {
  if (m == 0) return makeAtom("0");
  std::size_t digits = decimalLength(m);
  if (digits + negative <= kSmallAtom) return shortNumeral(m, digits, negative);
  char text[24];
  char* p = text + sizeof text;
  for (; m; m /= 10) *--p = char('0' + m % 10);
  if (negative) *--p = '0';
  return makeAtom(std::string_view(p, std::size_t(text + sizeof text - p)));
}

// The numerals from -256 to 8192 are made once, when first asked for, and shared: a
// loop's characters, tests and counters would otherwise make and drop an atom at
// every step. No one changes a numeral in place (only a text that a call alone holds
// grows), so sharing one is not seen.
static constexpr int64_t kSharedLow = -256;
static constexpr int64_t kSharedHigh = 8192;

static Handle sharedNumeral(int64_t v) {
  static Cell* made[kSharedHigh - kSharedLow + 1];
  Cell*& slot = made[v - kSharedLow];
  if (!slot) [[unlikely]]
    slot = keepForRun(numeralOfMagnitude(v < 0 ? uint64_t(-v) : uint64_t(v), v < 0));
  return Handle(slot);
}

Handle numeralFromInt64(int64_t v) {
  if (v >= kSharedLow && v <= kSharedHigh) return sharedNumeral(v);
  return numeralOfMagnitude(v < 0 ? uint64_t{0} - uint64_t(v) : uint64_t(v), v < 0);
}

Handle numeralFromUInt64(uint64_t v) {
  if (v <= uint64_t(kSharedHigh)) return sharedNumeral(int64_t(v));
  return numeralOfMagnitude(v, false);
}

// Eight bytes at a time: long numerals are checked wherever they are used, and the
// short ones on every call of a built-in.
static bool allDigits(std::string_view s) {
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, s.data() + i, sizeof word);
    if (!isDigitWord(word)) return false;
  }
  for (; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

NumeralForm numeralForm(std::string_view s) {
  if (s.empty() || !allDigits(s)) return NumeralForm::none;
  return s.size() > 1 && s[0] == '0' && s[1] == '0' ? NumeralForm::numb : NumeralForm::integer;
}

// An atom that begins with a digit is measured: its length is cached (or, beyond the
// cache's range, kept aside, which `text` finds). A long numeral's digits are
// checked once: the form stays with the atom as its value kind.
NumeralForm numeralForm(const Cell* c) {
  if (isPair(c) || atomKind(c) != AtomKind::numeral) return NumeralForm::none;
  switch (cachedValueKind(c)) {
    case ValueKind::integer: return NumeralForm::integer;
    case ValueKind::numb: return NumeralForm::numb;
    case ValueKind::other: return NumeralForm::none;
    default: break;
  }
  uint64_t cached = lengthCache(c);
  NumeralForm form = numeralForm(cached ? std::string_view(chars(c), cached) : text(c));
  cacheValueKind(c, form == NumeralForm::integer ? ValueKind::integer
                    : form == NumeralForm::numb  ? ValueKind::numb
                                                 : ValueKind::other);
  return form;
}

bool isInteger(const Cell* c) {
  if (isPair(c)) {
    if (!isStreamHead(leftOf(c))) return false;
    auto valueKind = numberSeams().valueKind;
    invariant(valueKind != nullptr, "value kinds read before the numbers layer is installed");
    return valueKind(c) == ValueKind::integer;
  }
  if (numeralForm(c) == NumeralForm::integer) return true;
  return chars(c)[0] == 'K' && chars(c)[1] == '\0';
}

bool isNonNegative(const Cell* c) {
  if (isPair(c)) return !isNegativeText(numeralTextOf(c));
  return !isNegativeText(text(c));
}

// The magnitude's low 64 bits: decimal digits folded with wrapping arithmetic,
// which is exact modulo 2^64.
static uint64_t magnitudeLow64(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == '0') ++i;
  uint64_t m = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) m = m * 10 + uint64_t(s[i] - '0');
  return m;
}

int64_t int64FromCell(const Cell* c) {
  std::string owned;
  std::string_view s;
  if (isPair(c)) {
    owned = numeralTextOf(c);
    s = owned;
  } else {
    s = numeralAtomText(c);
  }
  uint64_t m = magnitudeLow64(s);
  return int64_t(isNegativeText(s) ? uint64_t{0} - m : m);
}

std::string_view byteStringPayload(const Cell* c) {
  std::string_view t = text(c);
  std::size_t close = t.find(')');
  return close == std::string_view::npos ? std::string_view() : t.substr(close + 1);
}

const void* hostPointer(const Cell* c) {
  auto valueKind = numberSeams().valueKind;
  invariant(valueKind != nullptr, "value kinds read before the numbers layer is installed");
  switch (valueKind(c)) {
    case ValueKind::integer: return reinterpret_cast<const void*>(static_cast<uintptr_t>(int64FromCell(c)));
    case ValueKind::text: return chars(c);
    case ValueKind::byteString: return byteStringPayload(c).data();
    default: invariant(false, "host pointer of a value that is not an address or a text"); return nullptr;
  }
}

}  // namespace cells
