// The language built-ins. Values are told apart by kind (numbers/value_kind.h);
// texts are one bracket group whose content writes a newline, "[" and "]" as [p],
// [q] and [r]. Three views of a value recur below:
//   - its stored bytes (a byte string's payload, a text's content as written, escapes
//     included), which `rank`, `look`, `cork` and `trim` count;
//   - its characters (a text's content decoded), which `buck`, `wave`, `left`,
//     `rght`, `lits` and `lots` take apart and `init` hands to C;
//   - an integer's sequence: kind bit, sign bit, then the magnitude's binary digits,
//     one bit per element of its bit stream (numbers/bit_form.h).
// Lists are the prelude's: ((V a1) ((V a2) (... ((V an) [)))), ended by the atom "[".
// Lists may be a million elements long: every walk here is a loop.
#include "library/language.h"

#include <cmath>
#include <map>
#include <vector>

#include "numbers/bit_form.h"
#include "numbers/numb.h"
#include "numbers/numeral.h"
#include "numbers/text_ops.h"

namespace library {

using cells::ValueKind;

using numbers::NumeralText;

LanguageSeams& languageSeams() {
  static LanguageSeams seams;
  return seams;
}

// ---- Helpers -------------------------------------------------------------------

static Handle undefined() { return cells::common(cells::Common::Z); }
static Handle borrowed(const Cell* c) { return Handle(const_cast<Cell*>(c)); }

// The value kind, with an atom that only looks like a real (one of another length)
// as "[void]".
static ValueKind kindOf(const Cell* c) {
  ValueKind kind = numbers::valueKind(c);
  return kind == ValueKind::real && !numbers::isReal(c) ? ValueKind::other : kind;
}

static bool isEmptyList(const Cell* c) { return cells::isAtomText(c, "["); }
// ((V a) b): a pair of the prelude, and a list element a before the rest b.
static bool isVPair(const Cell* c) {
  return cells::isPair(c) && cells::isPair(cells::leftOf(c)) &&
         cells::isAtomText(cells::leftOf(cells::leftOf(c)), "V");
}
static const Cell* vFirst(const Cell* c) { return cells::rightOf(cells::leftOf(c)); }

static std::string_view storedBytes(const Cell* c, ValueKind kind) {
  return kind == ValueKind::byteString ? cells::byteStringPayload(c) : numbers::textContent(c);
}
static std::string characters(const Cell* text) { return numbers::decodeText(numbers::textContent(text)); }
static Handle textOf(std::string_view characters) {
  return numbers::makeText(numbers::encodeText(characters));
}
static Handle characterText(char c) { return textOf(std::string_view(&c, 1)); }

static Handle listOf(std::size_t n, auto element) {
  Handle v = cells::common(cells::Common::V);
  Handle list = cells::common(cells::Common::EmptyList);
  for (std::size_t i = n; i-- > 0;) list = cells::makePair(cells::makePair(v, element(i)), std::move(list));
  return list;
}

// The bytes one element contributes to a collected list: a byte string its payload,
// a text its characters, an integer one character, its low byte.
static std::optional<std::string> elementBytes(const Cell* e) {
  switch (kindOf(e)) {
    case ValueKind::byteString: return std::string(cells::byteStringPayload(e));
    case ValueKind::text: return characters(e);
    case ValueKind::integer: return std::string(1, char(cells::int64FromCell(e)));
    default: return std::nullopt;
  }
}

// The bytes of a list's elements in order; nothing when a spine cell is not
// ((V e) rest), the list does not end in "[", or an element has another kind.
static std::optional<std::string> collectList(const Cell* list) {
  std::string out;
  for (const Cell* c = list; !isEmptyList(c); c = cells::rightOf(c)) {
    if (!isVPair(c)) return std::nullopt;
    std::optional<std::string> bytes = elementBytes(vFirst(c));
    if (!bytes) return std::nullopt;
    out += *bytes;
  }
  return out;
}

static bool isList(const Cell* c) { return isEmptyList(c) || isVPair(c); }

static Handle realOfBits(uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return numbers::realFromDouble(d);
}

// An integer's sequence, element 0 first, without the sentinel.
static std::vector<bool> sequenceOf(const Cell* integer) {
  std::string form = numbers::bitFormFromText(NumeralText(integer).view());
  std::vector<bool> bits;
  bits.reserve(form.size() * 8);
  for (std::size_t i = 0; i < form.size() * 8; ++i) bits.push_back((form[i / 8] >> (i % 8)) & 1);
  while (!bits.back()) bits.pop_back();
  bits.pop_back();
  return bits;
}

// The bit form of a sequence: its bits, then the sentinel.
static std::string formOf(const std::vector<bool>& bits) {
  std::string form(bits.size() / 8 + 1, '\0');
  for (std::size_t i = 0; i <= bits.size(); ++i)
    if (i == bits.size() || bits[i]) form[i / 8] = char(form[i / 8] | (1 << (i % 8)));
  return form;
}

// An index into a value of length `length`: a negative one counts from the end.
static int64_t fromEnd(int64_t i, std::size_t length) { return i < 0 ? i + int64_t(length) : i; }

// A position of a value of length `length`; nothing when the index stays outside
// [0, length).
static std::optional<std::size_t> positionIn(int64_t i, std::size_t length) {
  i = fromEnd(i, length);
  if (i < 0 || uint64_t(i) >= length) return std::nullopt;
  return std::size_t(i);
}

static std::optional<bool> truthOf(const Cell* c) {
  if (cells::isAtomText(c, "K")) return true;
  if (cells::isAtomText(c, "H")) return false;
  return std::nullopt;
}

std::optional<Index> Index::read(const Cell* c) {
  if (!cells::isInteger(c)) return std::nullopt;
  NumeralText t(c);
  std::optional<int64_t> v = t.valid() ? numbers::smallNumeral(t.view()) : std::nullopt;
  if (!v) return std::nullopt;
  return Index{*v};
}

// ---- Kinds and conversions -----------------------------------------------------

static Handle firstCharacter(std::string_view bytes) {
  return bytes.empty() ? undefined() : characterText(bytes.front());
}

// A text's first character, decoding no more than it: an escape or one byte.
static Handle firstCharacterOf(const Cell* text) {
  std::string_view content = numbers::textContent(text);
  std::size_t escape = content.size() >= 3 && content[0] == '[' && content[2] == ']' ? 3 : 1;
  return firstCharacter(numbers::decodeText(content.substr(0, escape)));
}

// A text without its first character, escaped again; a plain content is cut as it
// stands (its decoding and encoding are itself).
static Handle textRest(const Cell* text) {
  std::string_view content = numbers::textContent(text);
  if (numbers::isPlainContent(content))
    return content.empty() ? undefined() : numbers::makeText(content.substr(1));
  std::string chars = characters(text);
  return chars.empty() ? undefined() : textOf(std::string_view(chars).substr(1));
}

Handle buckImpl(Term x) {
  switch (kindOf(x.cell)) {
    case ValueKind::byteString: return firstCharacter(cells::byteStringPayload(x.cell));
    case ValueKind::text: return firstCharacterOf(x.cell);
    case ValueKind::real: return cells::truth(!std::signbit(numbers::doubleFromReal(x.cell)));
    case ValueKind::integer: return cells::truth(cells::isNonNegative(x.cell));
    case ValueKind::numb: return cells::truth(numbers::numbValue(x.cell)->m.sign() >= 0);
    default: return undefined();
  }
}

Handle waveImpl(Term x) {
  switch (kindOf(x.cell)) {
    case ValueKind::byteString: {
      std::string_view payload = cells::byteStringPayload(x.cell);
      return payload.empty() ? undefined() : numbers::makeByteString(payload.substr(1));
    }
    case ValueKind::text: return textRest(x.cell);
    case ValueKind::real: return numbers::realFromDouble(-numbers::doubleFromReal(x.cell));
    case ValueKind::integer: return numbers::makeNumeral(numbers::numeralNegate(NumeralText(x.cell).view()));
    case ValueKind::numb:
      return cells::makeAtom(numbers::numbText(numbers::numbNegate(*numbers::numbValue(x.cell))));
    default: return undefined();
  }
}

// One character for a byte; "[" and "]" escaped, a newline as it is. Made once and
// shared, as the small numerals are: a loop that reads a byte at a time turns each
// byte into its text. A shared text is never held by a call alone, so no join grows
// it in place.
static Handle byteCharacter(char c) {
  static Cell* made[256];
  Cell*& slot = made[static_cast<unsigned char>(c)];
  if (!slot) [[unlikely]]
    slot = cells::keepForRun(c == '[' || c == ']' ? characterText(c)
                                                  : numbers::makeText(std::string_view(&c, 1)));
  return Handle(slot);
}

// The character of an integer's low byte.
static Handle integerCharacter(const Cell* integer) {
  return byteCharacter(char(cells::int64FromCell(integer)));
}

Handle zitsImpl(Term x) {
  if (int64_t v; cells::readShortInteger(x.cell, v)) return byteCharacter(char(v));  // a byte read
  switch (kindOf(x.cell)) {
    case ValueKind::integer: return integerCharacter(x.cell);
    case ValueKind::byteString: return textOf(cells::byteStringPayload(x.cell));
    case ValueKind::real: return numbers::makeText(numbers::realText(x.cell));
    case ValueKind::text: return borrowed(x.cell);
    case ValueKind::other: {
      std::optional<std::string> bytes = isList(x.cell) ? collectList(x.cell) : std::nullopt;
      return bytes ? textOf(*bytes) : undefined();
    }
    default: return undefined();
  }
}

Handle capeImpl(Term x) {
  switch (kindOf(x.cell)) {
    case ValueKind::text: return cells::makeAtom(characters(x.cell));
    case ValueKind::byteString: return textOf(cells::byteStringPayload(x.cell));
    default: return undefined();
  }
}

// The bytes `init` gives and `copy` writes.
// Decision: an integer gives its bit form (bit i of its sequence is bit i mod 8 of
// byte i div 8, then the sentinel bit), the same bits `look` reads; a byte string
// gives its own payload; a list its collected elements (as `zits` collects them).
static std::optional<std::string> initBytes(const Cell* x) {
  switch (kindOf(x)) {
    case ValueKind::byteString: return std::string(cells::byteStringPayload(x));
    case ValueKind::text: return characters(x);
    case ValueKind::real: return std::string(cells::realPayload(x));
    case ValueKind::integer: return numbers::bitFormFromText(NumeralText(x).view());
    case ValueKind::other: return isList(x) ? collectList(x) : std::nullopt;
    default: return std::nullopt;
  }
}

Handle initImpl(Term x) {
  std::optional<std::string> bytes = initBytes(x.cell);
  return bytes ? numbers::makeByteString(*bytes) : undefined();
}

// Decision: `copy` writes exactly the bytes `init` gives (so an integer writes its
// bit form and a text its characters); lists are refused like every pair.
Handle copyImpl(Int address, Term x) {
  std::optional<std::string> bytes = kindOf(x.cell) == ValueKind::other ? std::nullopt : initBytes(x.cell);
  if (!bytes) return undefined();
  if (!bytes->empty()) std::memcpy(address.pointer(), bytes->data(), bytes->size());
  return cells::common(cells::Common::I);
}

// Decision: an integer's length is that of its sequence in bits, the number of
// elements of its bit stream, so `look` reads indices 0 to rank - 1.
Handle rankImpl(Term x) {
  switch (ValueKind kind = kindOf(x.cell)) {
    case ValueKind::byteString:
    case ValueKind::text: return cells::numeralFromUInt64(storedBytes(x.cell, kind).size());
    case ValueKind::real: return cells::numeralFromInt64(8);
    case ValueKind::integer: return cells::numeralFromUInt64(sequenceOf(x.cell).size());
    default: return undefined();
  }
}

// Decision: every value `lits` takes gives a signed 8-bit code: a one-character
// text or one-byte byte string its byte, an integer its low byte, a real its value
// truncated toward zero and then its low byte (a real outside the 64-bit range,
// infinite or not a number gives "Z").
Handle litsImpl(Term x) {
  std::optional<std::string> one;
  switch (kindOf(x.cell)) {
    case ValueKind::byteString: one = std::string(cells::byteStringPayload(x.cell)); break;
    case ValueKind::text: one = characters(x.cell); break;
    case ValueKind::integer: return cells::numeralFromInt64(int8_t(cells::int64FromCell(x.cell)));
    case ValueKind::real: {
      double d = std::trunc(numbers::doubleFromReal(x.cell));
      if (!(d >= -0x1p63 && d < 0x1p63)) return undefined();
      return cells::numeralFromInt64(int8_t(int64_t(d)));
    }
    default: return undefined();
  }
  return one->size() == 1 ? cells::numeralFromInt64(int8_t((*one)[0])) : undefined();
}

// Decision: `lots` gives a value's elements as a list: a text its one-character
// texts (so `zits` collects them back into the text), a byte string its byte codes,
// a real its 64 bits and an integer its sequence as "K" and "H", bit 0 first (the
// answers of `look` at each index).
Handle lotsImpl(Term x) {
  switch (kindOf(x.cell)) {
    case ValueKind::text: {
      std::string chars = characters(x.cell);
      return listOf(chars.size(), [&](std::size_t i) { return characterText(chars[i]); });
    }
    case ValueKind::byteString: {
      std::string_view p = cells::byteStringPayload(x.cell);
      return listOf(p.size(), [&](std::size_t i) { return cells::numeralFromInt64((unsigned char)p[i]); });
    }
    case ValueKind::real: {
      uint64_t bits = cells::realBits(x.cell);
      return listOf(64, [&](std::size_t i) { return cells::truth((bits >> i) & 1); });
    }
    case ValueKind::integer: {
      std::vector<bool> seq = sequenceOf(x.cell);
      return listOf(seq.size(), [&](std::size_t i) { return cells::truth(seq[i]); });
    }
    default: return undefined();
  }
}

// ---- Taking apart --------------------------------------------------------------

// Decision: `left` and `rght` take apart texts (by characters; the rest is escaped
// again, so it is always a well-formed text) and pairs ((V a) b), lists included;
// the empty text, the empty list, numbers of either form and other pairs give "Z".
Handle leftImpl(Term x) {
  if (isVPair(x.cell)) return borrowed(vFirst(x.cell));
  if (kindOf(x.cell) != ValueKind::text) return undefined();
  return firstCharacterOf(x.cell);
}

Handle rghtImpl(Term x) {
  if (isVPair(x.cell)) return borrowed(cells::rightOf(x.cell));
  if (kindOf(x.cell) != ValueKind::text) return undefined();
  return textRest(x.cell);
}

// Decision: the empty list "[" and the empty text are empty ("K"); a pair ((V a) b)
// and any other text are not ("H"); everything else gives "Z".
Handle leafImpl(Term x) {
  if (isEmptyList(x.cell)) return cells::truth(true);
  if (isVPair(x.cell)) return cells::truth(false);
  if (kindOf(x.cell) != ValueKind::text) return undefined();
  return cells::truth(numbers::textContent(x.cell).empty());
}

Handle lookImpl(Term x, Index i) {
  switch (ValueKind kind = kindOf(x.cell)) {
    case ValueKind::byteString:
    case ValueKind::text: {
      std::string_view bytes = storedBytes(x.cell, kind);
      std::optional<std::size_t> at = positionIn(i.value, bytes.size());
      return at ? cells::numeralFromInt64((unsigned char)bytes[*at]) : undefined();
    }
    case ValueKind::real: {
      std::optional<std::size_t> at = positionIn(i.value, 64);
      return at ? cells::truth((cells::realBits(x.cell) >> *at) & 1) : undefined();
    }
    case ValueKind::integer: {
      std::vector<bool> seq = sequenceOf(x.cell);
      int64_t at = fromEnd(i.value, seq.size());
      if (at < 0) return undefined();
      return cells::truth(uint64_t(at) < seq.size() && seq[at]);
    }
    default: return undefined();
  }
}

// A byte string or text with the stored byte at `i` replaced by the element's low
// byte; a text that would stop being one gives "Z".
static Handle corkBytes(const Cell* x, ValueKind kind, Index i, const Cell* element) {
  std::string bytes(storedBytes(x, kind));
  std::optional<std::size_t> at = positionIn(i.value, bytes.size());
  if (!at || kindOf(element) != ValueKind::integer) return undefined();
  bytes[*at] = char(cells::int64FromCell(element));
  if (kind == ValueKind::byteString) return numbers::makeByteString(bytes);
  std::string text = "[" + bytes + "]";
  return numbers::isText(text) ? cells::makeAtom(text) : undefined();
}

// Decision: an integer's bit may be set beyond its sequence (the magnitude grows);
// clearing there changes nothing; an index of 2^32 or more gives "Z". The changed
// sequence reads as whatever it spells, a numb when bit 0 is cleared.
static Handle corkSequence(const Cell* x, Index i, bool set) {
  std::vector<bool> seq = sequenceOf(x);
  int64_t at = fromEnd(i.value, seq.size());
  if (at < 0 || at >= (int64_t{1} << 32)) return undefined();
  if (uint64_t(at) >= seq.size() && !set) return borrowed(x);
  if (uint64_t(at) >= seq.size()) seq.resize(std::size_t(at) + 1, false);
  seq[at] = set;
  return cells::makeAtom(numbers::textFromBitForm(formOf(seq)));
}

// Decision: indices of `cork` follow `look` (negative from the end, outside gives
// "Z"); a byte string or text takes an integer's low byte at a stored position.
Handle corkImpl(Term x, Index i, Term element) {
  ValueKind kind = kindOf(x.cell);
  if (kind == ValueKind::byteString || kind == ValueKind::text)
    return corkBytes(x.cell, kind, i, element.cell);
  std::optional<bool> set = truthOf(element.cell);
  if (!set || (kind != ValueKind::real && kind != ValueKind::integer)) return undefined();
  if (kind == ValueKind::integer) return corkSequence(x.cell, i, *set);
  std::optional<std::size_t> at = positionIn(i.value, 64);
  if (!at) return undefined();
  uint64_t bit = uint64_t{1} << *at;
  return realOfBits(*set ? cells::realBits(x.cell) | bit : cells::realBits(x.cell) & ~bit);
}

// Decision: a text is cut at stored positions, as `rank` and `look` count them; a
// piece that is not a well-formed text (a cut inside an escape) gives "Z".
Handle trimImpl(Term x, Index from, Index to) {
  ValueKind kind = kindOf(x.cell);
  if (kind != ValueKind::byteString && kind != ValueKind::text) return undefined();
  std::string_view bytes = storedBytes(x.cell, kind);
  int64_t a = fromEnd(from.value, bytes.size());
  int64_t b = fromEnd(to.value, bytes.size());
  if (a < 0 || b < 0 || a > b || b > int64_t(bytes.size())) return undefined();
  std::string_view piece = bytes.substr(std::size_t(a), std::size_t(b - a));
  if (kind == ValueKind::byteString) return numbers::makeByteString(piece);
  std::string text = "[" + std::string(piece) + "]";
  return numbers::isText(text) ? cells::makeAtom(text) : undefined();
}

// ---- Identity, order, interning ------------------------------------------------

Truth rawsImpl(Term x, Term y) { return Truth{x.cell == y.cell}; }

// Atoms before pairs; atoms by unsigned bytes, then the shorter first; pairs by
// their left children, then their right. 1: x orders first; -1: after; 0: equal.
Num cmprImpl(Term x, Term y) {
  std::vector<std::pair<const Cell*, const Cell*>> work{{x.cell, y.cell}};
  while (!work.empty()) {
    auto [a, b] = work.back();
    work.pop_back();
    if (a == b) continue;
    if (cells::isAtom(a) != cells::isAtom(b)) return Num{cells::isAtom(a) ? 1 : -1};
    if (cells::isAtom(a)) {
      int order = cells::text(a).compare(cells::text(b));  // bytes as unsigned char
      if (order != 0) return Num{order < 0 ? 1 : -1};
      continue;
    }
    work.push_back({cells::rightOf(a), cells::rightOf(b)});
    work.push_back({cells::leftOf(a), cells::leftOf(b)});
  }
  return Num{0};
}

static const LanguageSeams& seams() {
  const LanguageSeams& s = languageSeams();
  cells::invariant(s.intern && s.print && s.compileText, "language seams not installed");
  return s;
}

Handle ternImpl(Term x) { return seams().intern(borrowed(x.cell)); }

static std::vector<Handle>& leaked() {
  static std::vector<Handle> cells;
  return cells;
}

Num leakImpl(Term x) {
  leaked().push_back(borrowed(x.cell));
  return Num::address(x.cell);
}

// Decision: the printed form goes in as it is when that makes a well-formed text;
// otherwise (an unbalanced bracket in an atom) it is escaped, so the result is
// always a text whose characters are the printed form. A form cut short by the
// printer's bound (a graph whose shared parts print to more than a gigabyte) is
// no such text: "Z".
Handle lispImpl(Term x) {
  std::string printed = seams().print(x.cell);
  if (printed.size() > seams().longestPrint) return cells::common(cells::Common::Z);
  std::string text = "[" + printed + "]";
  return numbers::isText(text) ? cells::makeAtom(text) : textOf(printed);
}

// ---- Run-time compilation ------------------------------------------------------

static std::map<std::string, Handle, std::less<>>& loadCache() {
  static std::map<std::string, Handle, std::less<>> cache;
  return cache;
}

// Decision: the program text is one value or a list of them; byte strings give
// their bytes, texts their characters, integers one character (their low byte, as
// `zits`); reals, numbs and other pairs give "Z". The text is a program: its main
// expression is the value returned, its definitions join the table. A diagnostic in
// it, or a name it would redefine, gives "Z" and changes nothing. Only successes
// are cached, keyed by the program text.
Handle loadImpl(Term x) {
  std::optional<std::string> program = isList(x.cell) ? collectList(x.cell) : elementBytes(x.cell);
  if (!program) return undefined();
  auto cached = loadCache().find(*program);
  if (cached != loadCache().end()) return cached->second;
  Handle compiled = seams().compileText(*program);
  if (!compiled) return undefined();
  loadCache().emplace(*program, compiled);
  return compiled;
}

void clearLanguageStores() {
  std::vector<Handle> kept = std::move(leaked());
  std::map<std::string, Handle, std::less<>> cache = std::move(loadCache());
  leaked().clear();
  loadCache().clear();
}

}  // namespace library
