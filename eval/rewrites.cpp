// The rewrites that both machines share.
#include "eval/rewrites.h"

#include <array>
#include <cstring>
#include <string>

#include "cells/common_atoms.h"
#include "cells/convert.h"
#include "eval/engine.h"
#include "front/definitions.h"
#include "numbers/bit_form.h"
#include "numbers/text_ops.h"
#include "terms/shapes.h"

namespace eval {

using cells::Cell;
using cells::Handle;
using cells::common;
using cells::makePair;

const Handle& machineAtom(MachineAtom which) {
  static const Handle atoms[] = {cells::makeAtom("B"), cells::makeAtom("T"), cells::makeAtom("J"),
                                 cells::makeAtom("\\")};
  return atoms[static_cast<int>(which)];
}

// The head of an application spine: the first atom or "@" node down the left.

Places placeOf(Cell* key, Cell* value) {
  Places places;
  if (terms::isLetterAtom(key)) places.bind(cells::firstByte(key), value);
  return places;
}

// n f  =>  V s d f, where s is "H" for a numb and "K" for an integer, and d the rest
// of n's bit stream.
Handle unfoldNumeral(Cell* n, Cell* f) {
  bool numb = cells::numeralForm(n) == cells::NumeralForm::numb;
  Handle s = common(numb ? cells::Common::H : cells::Common::K);
  return makePair(Handle(common(cells::Common::V)), std::move(s), numbers::numeralDecomposition(n),
                  Handle(f));
}

// One byte as its eight bits, most significant first, each "I" (set) or "H"
// (clear), in a chain J b7 (J b6 (... (J b0 K))): applied to anything it gives the
// pair V b7 rest, which the selectors K and H take apart.
static Handle bitsOfByte(unsigned char byte) {
  Handle chain = common(cells::Common::K);
  for (int bit = 0; bit < 8; ++bit) {
    Handle b = common((byte >> bit) & 1 ? cells::Common::I : cells::Common::H);
    chain = makePair(Handle(machineAtom(MachineAtom::J)), std::move(b), std::move(chain));
  }
  return chain;
}

// s f  =>  V l r f, l the first p bytes of s (p the largest power of two below its
// length n) and r the rest; an empty s gives Z f, one byte its bits applied to f.
Handle splitByteString(Cell* s, Cell* f) {
  std::string_view bytes = cells::byteStringPayload(s);
  if (bytes.empty()) return makePair(Handle(common(cells::Common::Z)), Handle(f));
  if (bytes.size() == 1) return makePair(bitsOfByte(static_cast<unsigned char>(bytes[0])), Handle(f));
  std::size_t p = 1;
  while (p * 2 < bytes.size()) p *= 2;
  return makePair(Handle(common(cells::Common::V)), numbers::makeByteString(bytes.substr(0, p)),
                  numbers::makeByteString(bytes.substr(p)), Handle(f));
}

// r f  =>  D f, D the 64 bits of the double, most significant first, as a list of
// truth values: V b63 (V b62 (... (V b0 [))). The built-in `real` reads it back.
Handle unfoldReal(Cell* r, Cell* f) {
  uint64_t bits = 0;
  if (cells::text(r).size() == 9) bits = cells::realBits(r);
  Handle list = common(cells::Common::EmptyList);
  for (int i = 0; i < 64; ++i) {
    Handle b = common((bits >> i) & 1 ? cells::Common::K : cells::Common::H);
    list = makePair(Handle(common(cells::Common::V)), std::move(b), std::move(list));
  }
  return makePair(std::move(list), Handle(f));
}

// )name v  =>  v, storing v as the name's definition (a lambda wrapped as B I v, so
// that the name keeps needing no arguments).
// Decision: a name without an entry leaves the table as it is.
Handle updateDefinition(Cell* head, Cell* v) {
  std::string_view name = cells::text(head).substr(1);
  Handle* entry = front::definitionEntry(name);
  if (!entry || !isValue(v)) return Handle(v);
  Handle stored(v);
  if (terms::isLambda(v))
    stored =
        makePair(Handle(machineAtom(MachineAtom::B)), Handle(common(cells::Common::I)), std::move(stored));
  *entry = stored;
  return stored;
}

Handle wrapUnitReduct(Handle reduct, const Cell* head, bool unit) {
  if (!unit || isValue(reduct.get())) return reduct;
  const Cell* reductHead = spineHead(reduct.get());
  if (cells::isAtom(reductHead) && cells::atomKind(reductHead) == cells::AtomKind::update) return reduct;
  return makePair(cells::makeAtom(")" + std::string(cells::text(head))), std::move(reduct));
}

}  // namespace eval
