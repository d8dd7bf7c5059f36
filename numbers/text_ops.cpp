// Byte strings and texts under the arithmetic operators.
#include "numbers/text_ops.h"

#include <cstring>

#include "cells/common_atoms.h"
#include "numbers/numeral.h"
#include "numbers/real.h"

namespace numbers {

std::string_view postPayload(const cells::Cell* post) {
  std::string_view t = cells::text(post);
  std::size_t close = t.find(')');
  return close == std::string_view::npos ? std::string_view() : t.substr(close + 1);
}

std::string_view zitsContent(const cells::Cell* zits) {
  std::string_view t = cells::text(zits);
  return t.substr(1, t.size() - 2);
}

std::string decodeZits(std::string_view content) {
  std::string out;
  out.reserve(content.size());
  for (std::size_t i = 0; i < content.size(); ++i) {
    std::string_view escape = content.substr(i, 3);
    char decoded = escape == "[p]" ? '\n' : escape == "[q]" ? '[' : escape == "[r]" ? ']' : 0;
    if (decoded) i += 2;
    out += decoded ? decoded : content[i];
  }
  return out;
}

std::string encodeZits(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) out += c == '\n' ? "[p]" : c == '[' ? "[q]" : c == ']' ? "[r]" : std::string(1, c);
  return out;
}

// Base-64 digits of a length, most significant first; none for 0.
static std::string lengthDigits(std::size_t n) {
  std::string digits;
  for (; n; n /= 64) digits.insert(digits.begin(), cells::kDigitAlphabet[n % 64]);
  return digits;
}

cells::Handle makePost(std::string_view payload) {
  std::string head = "(" + lengthDigits(payload.size()) + ")";
  return cells::makeAtomWith(head.size() + payload.size(), [&](char* out) {
    std::memcpy(out, head.data(), head.size());
    if (!payload.empty()) std::memcpy(out + head.size(), payload.data(), payload.size());
  });
}

cells::Handle makeZits(std::string_view content) {
  return cells::makeAtomWith(content.size() + 2, [&](char* out) {
    out[0] = '[';
    if (!content.empty()) std::memcpy(out + 1, content.data(), content.size());
    out[content.size() + 1] = ']';
  });
}

// An operand's bytes when joined: a post's payload, a text's content (decoded when
// it goes into a post), a real's "%e", a number's numeral text.
static std::string joinedText(const cells::Cell* c, char kind, bool intoPost) {
  switch (kind) {
    case 'a': return std::string(postPayload(c));
    case 'u': return intoPost ? decodeZits(zitsContent(c)) : std::string(zitsContent(c));
    case 'e': return realText(c);
    default: return std::string(NumeralText(c).view());
  }
}

cells::Handle textPlus(const cells::Cell* x, char kx, const cells::Cell* y, char ky) {
  bool post = kx == 'a' || ky == 'a';
  std::string joined = joinedText(x, kx, post);
  std::string second = joinedText(y, ky, post);
  if (joined.size() + second.size() > kLargestResultBytes) return cells::common(cells::Common::Z);
  joined += second;
  return post ? makePost(joined) : makeZits(joined);
}

// The bytes a text operand is cut or counted in: a text's decoded content.
static std::string operandBytes(const cells::Cell* x, char kx) {
  return kx == 'a' ? std::string(postPayload(x)) : decodeZits(zitsContent(x));
}

static cells::Handle textOfKind(char kind, std::string_view bytes) {
  return kind == 'a' ? makePost(bytes) : makeZits(encodeZits(bytes));
}

// Decision: a text is cut by its decoded bytes and encoded again, so that a cut
// through an escape or a bracket pair still gives a well-formed text.
cells::Handle textDash(const cells::Cell* x, char kx, std::string_view n) {
  std::string bytes = operandBytes(x, kx);
  std::optional<int64_t> v = smallNumeral(n);
  uint64_t m = v ? (*v < 0 ? uint64_t(-*v) : uint64_t(*v)) : UINT64_MAX;
  if (m > bytes.size()) return cells::common(cells::Common::Z);
  std::string_view all = bytes;
  return textOfKind(kx, *v > 0 ? all.substr(m) : all.substr(0, all.size() - m));
}

// Decision: a repetition longer than kLargestResultBytes gives "Z".
cells::Handle textMult(const cells::Cell* x, char kx, std::string_view n) {
  std::string_view unit = kx == 'a' ? postPayload(x) : zitsContent(x);
  std::optional<int64_t> count = smallNumeral(n);
  if (isNegativeText(n) || !count) return cells::common(cells::Common::Z);
  if (!unit.empty() && uint64_t(*count) > kLargestResultBytes / unit.size()) return cells::common(cells::Common::Z);
  std::string out;
  out.reserve(unit.size() * std::size_t(*count));
  std::size_t want = unit.size() * std::size_t(*count);
  if (want) out = unit;
  while (out.size() < want) out.append(out, 0, std::min(out.size(), want - out.size()));
  return kx == 'a' ? makePost(out) : makeZits(out);
}

int compareTexts(const cells::Cell* x, const cells::Cell* y, char kind) {
  std::string_view a = kind == 'a' ? postPayload(x) : zitsContent(x);
  std::string_view b = kind == 'a' ? postPayload(y) : zitsContent(y);
  int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (c != 0) return c < 0 ? -1 : 1;
  return a.size() < b.size() ? -1 : a.size() > b.size();
}

}  // namespace numbers
