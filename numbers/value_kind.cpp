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
static ValueKind streamKind(const cells::Cell* c) {
  using namespace cells;
  const Cell* head = leftOf(c);
  if (!isPair(head) || !isAtomText(leftOf(head), "J")) return ValueKind::other;
  ValueKind kind = isAtomText(rightOf(head), "K")   ? ValueKind::integer
                   : isAtomText(rightOf(head), "H") ? ValueKind::numb
                                                    : ValueKind::other;
  return kind != ValueKind::other && isWellFormedStream(c) ? kind : ValueKind::other;
}

static ValueKind numeralKind(const cells::Cell* c) {
  switch (cells::numeralForm(c)) {
    case cells::NumeralForm::integer: return ValueKind::integer;
    case cells::NumeralForm::numb: return ValueKind::numb;
    case cells::NumeralForm::none: return ValueKind::other;
  }
  return ValueKind::other;
}

// A text's brackets are looked at once per atom (a numeral's digits likewise, in
// numeralForm): the answer stays with the atom, so a loop over a growing text does
// not scan it again at every test.
static ValueKind bracketedKind(const cells::Cell* c) {
  if (ValueKind cached = cells::cachedValueKind(c); cached != ValueKind::undecided) return cached;
  ValueKind kind = isText(cells::text(c)) ? ValueKind::text : ValueKind::other;
  cells::cacheValueKind(c, kind);
  return kind;
}

ValueKind valueKind(const cells::Cell* c) {
  using cells::AtomKind;
  if (cells::isPair(c)) return streamKind(c);
  switch (cells::atomKind(c)) {
    case AtomKind::fixedBinary: return ValueKind::real;
    case AtomKind::countedBinary: return ValueKind::byteString;
    case AtomKind::bracketed: return bracketedKind(c);
    case AtomKind::numeral: return numeralKind(c);
    default: return ValueKind::other;
  }
}

// Each kind's tag (what `type` gives) and its name in a person's words.
struct KindWords {
  ValueKind kind;
  std::string_view tag, name;
};
static constexpr KindWords kKindWords[] = {
    {ValueKind::byteString, "[post]", "byte string"},
    {ValueKind::real, "[real]", "real"},
    {ValueKind::integer, "[hint]", "integer"},
    {ValueKind::numb, "[numb]", "binary fraction"},
    {ValueKind::text, "[zits]", "text"},
    {ValueKind::other, "[void]", "other"},
};

static const KindWords& wordsOf(ValueKind kind) {
  for (const KindWords& w : kKindWords)
    if (w.kind == kind) return w;
  return kKindWords[5];
}

std::string_view kindTag(ValueKind kind) { return wordsOf(kind).tag; }

std::string_view kindName(ValueKind kind) { return wordsOf(kind).name; }

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
