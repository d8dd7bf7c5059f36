// Bit forms of numeral texts and the reading of bit streams.
#include "numbers/bit_form.h"

#include <vector>

#include "cells/common_atoms.h"
#include "cells/convert.h"
#include "numbers/numeral.h"

namespace numbers {

// The sequence `bits` (below `length`) with its sentinel at `length`.
static Mpz withSentinel(Mpz bits, std::size_t length) {
  mpz_setbit(bits.get(), length);
  return bits;
}

// An integer: 1, then the sign bit, then the magnitude's binary digits.
static Mpz integerSequence(std::string_view numeral) {
  bool negative = isNegativeText(numeral);
  Mpz n = mpzFromDigits(magnitudeOf(numeral));
  std::size_t length = n.bitLength() + 2;
  mpz_mul_2exp(n.get(), n.get(), 2);
  mpz_add_ui(n.get(), n.get(), negative ? 1 : 3);
  return withSentinel(std::move(n), length);
}

// A numb "00" + z zeros + D: 0, z zeros, 1, then the binary digits of D.
static Mpz numbSequence(std::string_view numeral) {
  if (numeral == "00") return Mpz(2);
  std::size_t first = numeral.find_first_not_of('0', 2);
  std::size_t z = (first == std::string_view::npos ? numeral.size() : first) - 2;
  Mpz d = mpzFromDigits(first == std::string_view::npos ? "" : numeral.substr(first));
  std::size_t length = d.bitLength();
  Mpz b = withSentinel(std::move(d), length);
  mpz_mul_2exp(b.get(), b.get(), z + 2);
  mpz_setbit(b.get(), z + 1);
  return b;
}

Mpz sequenceFromText(std::string_view numeral) {
  cells::NumeralForm form = cells::numeralForm(numeral);
  cells::invariant(form != cells::NumeralForm::none, "bit form of a text that is not a numeral");
  if (numeral == "0") return Mpz(3);
  return form == cells::NumeralForm::numb ? numbSequence(numeral) : integerSequence(numeral);
}

// Decision: a numb sequence without any 1 bit after its kind bit is a zero and is
// written "00"; so is the marker-only sequence 0, 1 (a zero with the positive sign),
// for which no text of digits is left: "00" reads back as the same number.
static std::string numbText(const Mpz& sequence) {
  mp_bitcnt_t p = mpz_scan1(sequence.get(), 1);
  if (p == ~mp_bitcnt_t{0}) return "00";
  Mpz value;
  mpz_tdiv_q_2exp(value.get(), sequence.get(), p + 1);
  std::string text = "00" + std::string(p - 1, '0');
  return value.sign() == 0 ? text : text + digitsOfMpz(value);
}

std::string textFromSequence(const Mpz& withSentinel) {
  std::size_t length = withSentinel.bitLength();
  cells::invariant(length > 0, "bit form without a sentinel");
  Mpz sequence = withSentinel;
  mpz_clrbit(sequence.get(), length - 1);
  if (length == 1) return "0";  // the empty sequence: the bare stream end "K"
  if (!sequence.bit(0)) return numbText(sequence);
  bool negative = !sequence.bit(1);
  mpz_tdiv_q_2exp(sequence.get(), sequence.get(), 2);
  if (sequence.sign() == 0) return "0";
  return negative ? "0" + digitsOfMpz(sequence) : digitsOfMpz(sequence);
}

// The bit of one stream element ((J b) rest): 1 for "K", 0 for "H", -1 otherwise.
static int elementBit(const cells::Cell* element) {
  const cells::Cell* head = cells::leftOf(element);
  if (!cells::isPair(head) || !cells::isAtomText(cells::leftOf(head), "J")) return -1;
  const cells::Cell* b = cells::rightOf(head);
  return cells::isAtomText(b, "K") ? 1 : cells::isAtomText(b, "H") ? 0 : -1;
}

// The end of a stream: the atom "K", or a number atom whose sequence follows.
static bool isStreamEnd(const cells::Cell* atom) {
  return cells::isAtomText(atom, "K") || cells::numeralForm(atom) != cells::NumeralForm::none;
}

bool isWellFormedStream(const cells::Cell* c) {
  for (; cells::isPair(c); c = cells::rightOf(c))
    if (elementBit(c) < 0) return false;
  return isStreamEnd(c);
}

std::optional<Mpz> sequenceFromCell(const cells::Cell* c) {
  std::vector<unsigned char> bytes;
  std::size_t count = 0;
  for (; cells::isPair(c); c = cells::rightOf(c), ++count) {
    int bit = elementBit(c);
    if (bit < 0) return std::nullopt;
    if (count % 8 == 0) bytes.push_back(0);
    bytes.back() |= static_cast<unsigned char>(bit << (count % 8));
  }
  if (!isStreamEnd(c)) return std::nullopt;
  Mpz tail(1);
  if (!cells::isAtomText(c, "K")) tail = sequenceFromText(cells::text(c));
  Mpz head;
  mpz_import(head.get(), bytes.size(), -1, 1, 0, 0, bytes.data());
  mpz_mul_2exp(tail.get(), tail.get(), count);
  mpz_ior(tail.get(), tail.get(), head.get());
  return tail;
}

std::string bitFormFromText(std::string_view numeral) {
  Mpz b = sequenceFromText(numeral);
  std::string out((b.bitLength() + 7) / 8, '\0');
  mpz_export(out.data(), nullptr, -1, 1, 0, 0, b.get());
  return out;
}

std::string textFromBitForm(std::string_view bitForm) {
  Mpz b;
  mpz_import(b.get(), bitForm.size(), -1, 1, 0, 0, bitForm.data());
  return textFromSequence(b);
}

std::optional<std::string> streamNumeralText(const cells::Cell* stream) {
  std::optional<Mpz> b = sequenceFromCell(stream);
  if (!b) return std::nullopt;
  return textFromSequence(*b);
}

cells::Handle numeralDecomposition(const cells::Cell* numeral) {
  if (cells::isPair(numeral) && sequenceFromCell(numeral)) return cells::Handle(cells::rightOf(numeral));
  Mpz b = sequenceFromText(cells::text(numeral));
  cells::Handle j = cells::makeAtom("J");
  cells::Handle rest = cells::common(cells::Common::K);
  for (std::size_t i = b.bitLength() - 1; i-- > 1;) {
    const cells::Handle& bit = cells::truth(b.bit(i));
    rest = cells::makePair(cells::makePair(j, bit), std::move(rest));
  }
  return rest;
}

}  // namespace numbers
