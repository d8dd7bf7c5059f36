// Value kinds.
#include "numbers/value_kind.h"

#include "cells/convert.h"
#include "numbers/bit_form.h"
#include "numbers/mpz.h"

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

// A bit stream's first element tells its kind, when the whole stream is well formed.
static char streamKind(const cells::Cell* c) {
  using namespace cells;
  const Cell* head = leftOf(c);
  if (!isPair(head) || !isAtomText(leftOf(head), "J")) return 'w';
  char kind = isAtomText(rightOf(head), "K") ? 'i' : isAtomText(rightOf(head), "H") ? 'o' : 'w';
  return kind != 'w' && isWellFormedStream(c) ? kind : 'w';
}

static char numeralKind(const cells::Cell* c) {
  switch (cells::numeralForm(c)) {
    case cells::NumeralForm::integer: return 'i';
    case cells::NumeralForm::numb: return 'o';
    case cells::NumeralForm::none: return 'w';
  }
  return 'w';
}

// A text's brackets are looked at once per atom (a numeral's digits likewise, in
// numeralForm): the answer stays with the atom, so a loop over a growing text does
// not scan it again at every test.
static char bracketedKind(const cells::Cell* c) {
  if (char cached = cells::cachedValueKind(c)) return cached;
  char kind = isText(cells::text(c)) ? 'u' : 'w';
  cells::cacheValueKind(c, kind);
  return kind;
}

char valueKind(const cells::Cell* c) {
  using cells::AtomKind;
  if (cells::isPair(c)) return streamKind(c);
  switch (cells::atomKind(c)) {
    case AtomKind::fixedBinary: return 'e';
    case AtomKind::countedBinary: return 'a';
    case AtomKind::bracketed: return bracketedKind(c);
    case AtomKind::numeral: return numeralKind(c);
    default: return 'w';
  }
}

// Each kind's tag (what `type` gives) and its name in a person's words.
struct KindWords {
  char kind;
  std::string_view tag, name;
};
static constexpr KindWords kKindWords[] = {
    {'a', "[post]", "byte string"},     {'e', "[real]", "real"}, {'i', "[hint]", "integer"},
    {'o', "[numb]", "binary fraction"}, {'u', "[zits]", "text"}, {'w', "[void]", "other"},
};

static const KindWords& wordsOf(char kind) {
  for (const KindWords& w : kKindWords)
    if (w.kind == kind) return w;
  return kKindWords[5];
}

std::string_view kindTag(char kind) { return wordsOf(kind).tag; }

std::string_view kindName(char kind) { return wordsOf(kind).name; }

// The cell layer asks only for streams that the integer test has accepted, which
// are well formed all the way down.
static std::string integerStreamText(const cells::Cell* stream) {
  std::optional<std::string> text = streamNumeralText(stream);
  cells::invariant(text.has_value(), "integer value of a malformed bit stream");
  return std::move(*text);
}

void installCellSeams() {
  cells::numberSeams().valueKind = &valueKind;
  cells::numberSeams().streamText = &integerStreamText;
  installMpzAllocation();
}

}  // namespace numbers
