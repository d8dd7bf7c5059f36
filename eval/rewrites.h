// The rewrites that both machines share: the atoms a machine builds continuations
// and bit chains from, the head of an application spine, the non-duplicating heads,
// and the rules for heads that are data (numerals, byte strings, reals) and for the
// update form of a unit definition. Each takes its cells borrowed and returns the
// reduct.
#pragma once

#include <array>
#include <string_view>

#include "cells/cell.h"
#include "eval/substitute.h"

namespace eval {

enum class MachineAtom { B, T, J, Lambda };
const cells::Handle& machineAtom(MachineAtom which);

// The head of an application spine: the first atom or "@" node down the left.
inline cells::Cell* spineHead(cells::Cell* c) {
  while (cells::isPair(c) && !cells::isDataMarked(c)) c = cells::leftOf(c);
  return c;
}

// Prelude combinators and the two logical operators never duplicate an argument,
// so their arguments may be handed over unevaluated: "&|ABCDEFHIJKLNQRTUVXZ".
inline bool isNonDuplicating(const cells::Cell* head) {
  static constexpr auto kTable = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : std::string_view("&|ABCDEFHIJKLNQRTUVXZ")) t[c] = true;
    return t;
  }();
  return kTable[cells::firstByte(head)];
}

// The binding of a binder's key (a place letter) to a value; none for another key.
Places placeOf(cells::Cell* key, cells::Cell* value);

// n f  =>  V s d f: s is "H" for a numb and "K" for an integer, d the rest of n's
// bit stream.
cells::Handle unfoldNumeral(cells::Cell* n, cells::Cell* f);

// s f  =>  V l r f: l the first p bytes of s (p the largest power of two below its
// length n) and r the rest; an empty s gives Z f, one byte its bits applied to f.
cells::Handle splitByteString(cells::Cell* s, cells::Cell* f);

// r f  =>  D f, D the 64 bits of the double as a list of truth values.
cells::Handle unfoldReal(cells::Cell* r, cells::Cell* f);

// )name v  =>  v, storing v as the name's definition.
cells::Handle updateDefinition(cells::Cell* head, cells::Cell* v);

// A unit definition's reduct that is not yet a value, wrapped as ()name reduct) so
// that its value is written back once computed; any other reduct as it is.
cells::Handle wrapUnitReduct(cells::Handle reduct, const cells::Cell* head, bool unit);

}  // namespace eval
