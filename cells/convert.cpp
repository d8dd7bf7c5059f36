// Cell conversions to and from host integers and addresses.
#include "cells/convert.h"

#include <cstring>

namespace cells {

NumberSeams& numberSeams() {
  static NumberSeams seams;
  return seams;
}

static bool isAtomText(const Cell* c, std::string_view s) { return isAtom(c) && text(c) == s; }

static bool isStreamHead(const Cell* c) {
  return isPair(c) && isAtomText(leftOf(c), "J") && isAtomText(rightOf(c), "K");
}

// The numeral text of an integer cell; a bit stream is normalised by the numbers layer.
static std::string numeralTextOf(const Cell* c) {
  if (isAtom(c)) return std::string(isAtomText(c, "K") ? "0" : text(c));
  auto streamText = numberSeams().streamText;
  invariant(streamText != nullptr, "bit stream read before the numbers layer is installed");
  return streamText(c);
}

static Handle numeralOfMagnitude(uint64_t m, bool negative) {
  if (m == 0) return makeAtom("0");
  char digits[24];
  char* p = digits + sizeof digits;
  while (m) {
    *--p = char('0' + m % 10);
    m /= 10;
  }
  if (negative) *--p = '0';
  return makeAtom(std::string_view(p, std::size_t(digits + sizeof digits - p)));
}

Handle numeralFromInt64(int64_t v) {
  return numeralOfMagnitude(v < 0 ? uint64_t{0} - uint64_t(v) : uint64_t(v), v < 0);
}

Handle numeralFromUInt64(uint64_t v) { return numeralOfMagnitude(v, false); }

bool isInteger(const Cell* c) {
  if (isPair(c)) return isStreamHead(leftOf(c));
  const char* s = chars(c);
  if (s[0] == 'K') return true;
  if (s[0] == '0') return s[1] != '0';
  return s[0] >= '1' && s[0] <= '9';
}

static bool textIsNonNegative(std::string_view s) { return s.size() <= 1 || s[0] != '0'; }

bool isNonNegative(const Cell* c) {
  if (isPair(c)) return textIsNonNegative(numeralTextOf(c));
  return textIsNonNegative(text(c));
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
    s = isAtomText(c, "K") ? std::string_view("0") : text(c);
  }
  uint64_t m = magnitudeLow64(s);
  return int64_t(textIsNonNegative(s) ? m : uint64_t{0} - m);
}

// The first payload byte of a byte string "(" + length digits + ")" + payload; the
// end of the atom when it has no ")".
static const char* payloadOf(const Cell* c) {
  std::string_view t = text(c);
  std::size_t close = t.find(')');
  return t.data() + (close == std::string_view::npos ? t.size() : close + 1);
}

const void* hostPointer(const Cell* c) {
  auto valueKind = numberSeams().valueKind;
  invariant(valueKind != nullptr, "value kinds read before the numbers layer is installed");
  switch (valueKind(c)) {
    case 'i':
      return reinterpret_cast<const void*>(static_cast<uintptr_t>(int64FromCell(c)));
    case 'u':
      return chars(c);
    case 'a':
      return payloadOf(c);
    default:
      invariant(false, "host pointer of a value that is not an address or a text");
      return nullptr;
  }
}

}  // namespace cells
