// Value kinds.
#include "numbers/value_kind.h"

#include "cells/convert.h"
#include "numbers/mpz.h"
#include "numbers/bit_form.h"

namespace numbers {

bool isText(std::string_view bytes) {
  if (bytes.size() < 2 || bytes.front() != '[' || bytes.back() != ']') return false;
  std::size_t depth = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == '[') ++depth;
    if (bytes[i] == ']' && --depth == 0) return false;
  }
  return depth == 1;
}

static bool isAtomText(const cells::Cell* c, char only) {
  return cells::isAtom(c) && cells::chars(c)[0] == only && cells::chars(c)[1] == '\0';
}

char value_kind(const cells::Cell* c) {
  using namespace cells;
  if (isPair(c)) {
    const Cell* head = leftOf(c);
    if (!isPair(head) || !isAtomText(leftOf(head), 'J')) return 'w';
    if (isAtomText(rightOf(head), 'H')) return 'o';
    return isAtomText(rightOf(head), 'K') ? 'i' : 'w';
  }
  unsigned char first = firstByte(c);
  if (first == ' ') return 'e';
  if (first == '(') return 'a';
  if (first == '[') return isText(text(c)) ? 'u' : 'w';
  if (first >= '0' && first <= '9') return (first == '0' && chars(c)[1] == '0') ? 'o' : 'i';
  return 'w';
}

std::string_view kindTag(char kind) {
  switch (kind) {
    case 'a': return "[post]";
    case 'e': return "[real]";
    case 'i': return "[hint]";
    case 'o': return "[numb]";
    case 'u': return "[zits]";
    default: return "[void]";
  }
}

// Decision: a stream that the integer test accepts by its first element but that
// breaks further on (an element other than ((J K|H) rest), a tail other than "K" or
// a numeral) reads as zero where a host integer is taken from it; the operators
// answer it with "Z".
static std::string streamTextOrZero(const cells::Cell* stream) {
  std::optional<std::string> text = streamNumeralText(stream);
  return text ? std::move(*text) : std::string("0");
}

void installCellSeams() {
  cells::numberSeams().valueKind = &value_kind;
  cells::numberSeams().streamText = &streamTextOrZero;
  installMpzAllocation();
}

}  // namespace numbers
