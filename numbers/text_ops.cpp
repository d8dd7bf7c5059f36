// Byte strings and texts under the arithmetic operators.
#include "numbers/text_ops.h"

#include <cstring>

#include "cells/common_atoms.h"
#include "numbers/numeral.h"
#include "numbers/real.h"

namespace numbers {

std::string_view textContent(const cells::Cell* textAtom) {
  std::string_view t = cells::text(textAtom);
  return t.substr(1, t.size() - 2);
}

// True when a text's content is its characters as they stand: no escape, no bracket
// and no raw line feed, so that decoding and encoding leave it as it is.
bool isPlainContent(std::string_view content) {
  for (char c : content)
    if (c == '[' || c == ']' || c == '\n') return false;
  return true;
}

std::string decodeText(std::string_view content) {
  std::string out;
  out.reserve(content.size());
  for (std::size_t i = 0; i < content.size(); ++i) {
    char c = content[i];
    if (c == '[' && i + 2 < content.size() && content[i + 2] == ']') {
      char escaped = content[i + 1];
      char decoded = escaped == 'p' ? '\n' : escaped == 'q' ? '[' : escaped == 'r' ? ']' : 0;
      if (decoded) {
        out.push_back(decoded);
        i += 2;
        continue;
      }
    }
    out.push_back(c);
  }
  return out;
}

std::string encodeText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    if (c == '\n') out.append("[p]");
    else if (c == '[')
      out.append("[q]");
    else if (c == ']')
      out.append("[r]");
    else
      out.push_back(c);
  }
  return out;
}

// Base-64 digits of a length, most significant first; none for 0.
static std::string lengthDigits(std::size_t n) {
  std::string digits;
  for (; n; n /= 64) digits.insert(digits.begin(), cells::kDigitAlphabet[n % 64]);
  return digits;
}

// A byte string of the pieces side by side.
static cells::Handle makeByteStringOf(std::string_view first, std::string_view second) {
  std::string head = "(" + lengthDigits(first.size() + second.size()) + ")";
  return cells::makeAtomWith(head.size() + first.size() + second.size(), [&](char* out) {
    std::memcpy(out, head.data(), head.size());
    if (!first.empty()) std::memcpy(out + head.size(), first.data(), first.size());
    if (!second.empty()) std::memcpy(out + head.size() + first.size(), second.data(), second.size());
  });
}

cells::Handle makeByteString(std::string_view payload) { return makeByteStringOf(payload, {}); }

// Every text made here is well formed: it is one, and says so, so that no kind test
// scans it again.
static cells::Handle sealText(cells::Cell* c, std::size_t length) {
  cells::Handle text = cells::sealAtom(c, length);
  cells::cacheValueKind(text.get(), ValueKind::text);
  return text;
}

// The text of the two contents side by side, with room for `capacity` bytes.
static cells::Handle makeTextOf(std::string_view first, std::string_view second, std::size_t capacity) {
  std::size_t length = first.size() + second.size() + 2;
  cells::Cell* c = cells::allocateAtom(length, capacity);
  char* out = const_cast<char*>(cells::chars(c));
  out[0] = '[';
  if (!first.empty()) std::memcpy(out + 1, first.data(), first.size());
  if (!second.empty()) std::memcpy(out + 1 + first.size(), second.data(), second.size());
  out[length - 1] = ']';
  return sealText(c, length);
}

cells::Handle makeText(std::string_view content) { return makeTextOf(content, {}, 0); }

// An operand's bytes when joined: a post's payload, a text's content (decoded when
// it goes into a post), a real's "%e", a number's numeral text. `held` keeps bytes
// that are not in the cell.
static std::string_view joinedBytes(const cells::Cell* c, ValueKind kind, bool intoByteString,
                                    std::string& held) {
  switch (kind) {
    case ValueKind::byteString: return cells::byteStringPayload(c);
    case ValueKind::text:
      if (!intoByteString || isPlainContent(textContent(c))) return textContent(c);
      return held = decodeText(textContent(c));
    case ValueKind::real: return held = realText(c);
    default: {
      NumeralText t(c);
      return held = std::string(t.view());
    }
  }
}

// x + y into x itself: x is a text that no one else sees, with room for y's bytes
// in its block. Its closing bracket moves to the new end.
static void appendInPlace(cells::Cell* x, std::string_view second) {
  std::size_t length = cells::text(x).size();
  char* out = const_cast<char*>(cells::chars(x));
  std::memcpy(out + length - 1, second.data(), second.size());
  out[length - 1 + second.size()] = ']';
  cells::resizeAtom(x, length + second.size());
  cells::cacheValueKind(x, ValueKind::text);
}

// A text that grows by joins keeps half as much room again, so that a loop of joins
// onto a text that it alone holds copies each byte a constant number of times.
static std::size_t roomToGrow(std::size_t length) { return length + length / 2; }

unsigned long long& joinsInPlace() {
  static unsigned long long joins = 0;
  return joins;
}

cells::Handle textPlus(const cells::Cell* x, ValueKind kx, const cells::Cell* y, ValueKind ky, bool soleX) {
  bool byteString = kx == ValueKind::byteString || ky == ValueKind::byteString;
  std::string heldX, heldY;
  std::string_view first = joinedBytes(x, kx, byteString, heldX);
  std::string_view second = joinedBytes(y, ky, byteString, heldY);
  if (first.size() + second.size() > kLargestResultBytes) return cells::common(cells::Common::Z);
  if (byteString) return makeByteStringOf(first, second);
  std::size_t length = first.size() + second.size() + 2;
  if (!soleX || kx != ValueKind::text) return makeTextOf(first, second, 0);
  auto* grown = const_cast<cells::Cell*>(x);
  if (cells::hasRoomFor(grown, length)) {
    ++joinsInPlace();
    appendInPlace(grown, second);
    return cells::Handle(grown);
  }
  return makeTextOf(first, second, roomToGrow(length));
}

static cells::Handle textOfKind(ValueKind kind, std::string_view bytes) {
  return kind == ValueKind::byteString ? makeByteString(bytes) : makeText(encodeText(bytes));
}

// The first n bytes dropped (n > 0) or the last |n| (n <= 0), of `all`.
static std::string_view cut(std::string_view all, int64_t n) {
  uint64_t m = n < 0 ? uint64_t(0) - uint64_t(n) : uint64_t(n);
  return n > 0 ? all.substr(m) : all.substr(0, all.size() - m);
}

// Decision: a text is cut by its decoded bytes and encoded again, so that a cut
// through an escape or a bracket pair still gives a well-formed text. A plain
// content is its own decoding: it is cut as it stands.
cells::Handle textDash(const cells::Cell* x, ValueKind kx, std::string_view n) {
  std::optional<int64_t> v = smallNumeral(n);
  std::string_view stored = kx == ValueKind::byteString ? cells::byteStringPayload(x) : textContent(x);
  bool asStored = kx == ValueKind::byteString || isPlainContent(stored);
  std::string decoded = asStored ? std::string() : decodeText(stored);
  std::string_view bytes = asStored ? stored : std::string_view(decoded);
  uint64_t m = v ? (*v < 0 ? uint64_t(0) - uint64_t(*v) : uint64_t(*v)) : UINT64_MAX;
  if (m > bytes.size()) return cells::common(cells::Common::Z);
  if (asStored)
    return kx == ValueKind::byteString ? makeByteString(cut(bytes, *v)) : makeText(cut(bytes, *v));
  return textOfKind(kx, cut(bytes, *v));
}

// Decision: a repetition longer than kLargestResultBytes gives "Z".
cells::Handle textMult(const cells::Cell* x, ValueKind kx, std::string_view n) {
  std::string_view unit = kx == ValueKind::byteString ? cells::byteStringPayload(x) : textContent(x);
  std::optional<int64_t> count = smallNumeral(n);
  if (isNegativeText(n) || !count) return cells::common(cells::Common::Z);
  if (!unit.empty() && uint64_t(*count) > kLargestResultBytes / unit.size())
    return cells::common(cells::Common::Z);
  std::string out;
  out.reserve(unit.size() * std::size_t(*count));
  std::size_t want = unit.size() * std::size_t(*count);
  if (want) out = unit;
  while (out.size() < want) out.append(out, 0, std::min(out.size(), want - out.size()));
  return kx == ValueKind::byteString ? makeByteString(out) : makeText(out);
}

int compareTexts(const cells::Cell* x, const cells::Cell* y, ValueKind kind) {
  std::string_view a = kind == ValueKind::byteString ? cells::byteStringPayload(x) : textContent(x);
  std::string_view b = kind == ValueKind::byteString ? cells::byteStringPayload(y) : textContent(y);
  int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (c != 0) return c < 0 ? -1 : 1;
  return a.size() < b.size() ? -1 : a.size() > b.size();
}

}  // namespace numbers
