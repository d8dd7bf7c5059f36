// What the head atom of a saturated application names, found once per atom: the
// engine asks at every call, and a string-keyed lookup there would dominate the run.
// A plain atom keeps the index of its resolution in its header's length field (a
// field that plain atoms other than one-letter variables do not use); the whole
// cache is dropped whenever the definitions table changes shape.
#pragma once

#include "cells/cell.h"
#include "eval/engine.h"
#include "front/definitions.h"
#include "library/builtin_table.h"

namespace eval {

// A definition (\ p1 (\ .. (\ pk body))) as the machines call it, read once from its
// term instead of at every call: the place index of each parameter (-1 for a key
// that is no place), the body, and the letters free in the body.
struct DefinitionShape {
  static constexpr int kMaxParameters = 11;
  const cells::Cell* term = nullptr;  // the term it was read from
  int parameters = 0;                 // at most kMaxParameters are read
  int8_t places[kMaxParameters] = {};
  cells::Cell* body = nullptr;  // below the parameters read
  uint32_t usedByBody = 0;
  // The few shapes that the fast machine rewrites at once when they meet (the
  // prelude's pairs and selectors; see Machine::selectAtOnce):
  //   pair     \a\b\c\c a b   (parts: the body's a and b)
  //   first    \a\b\a
  //   constant \a\X        (X an atom: the prelude's H is \a\I)
  //   identity \a\a
  enum class Form : uint8_t { other, pair, first, constant, identity } form = Form::other;
  cells::Cell* parts[2] = {};
};

// A selector's choice of two arguments (Machine::selectorChoice): 0 none, 1 the
// first, 2 the second; the definitions it enters, and its constant (the second).
struct Selection {
  int choice = 0;
  const cells::Cell* selector = nullptr;
  const cells::Handle* entered = nullptr;
  const cells::Handle* then = nullptr;
  const cells::Cell* constant = nullptr;
};

// A name's selection, kept with the terms it was read from: the name's own and,
// for a constant, the term of the name the constant is (read again when either
// term is replaced). Tests ask for it at every decision.
struct SelectionMemo {
  Selection selection;
  const cells::Cell* term = nullptr;
  const cells::Handle* constant = nullptr;  // the constant's entry, or null
  const cells::Cell* constantTerm = nullptr;
};

struct Resolution {
  const cells::Cell* atom = nullptr;
  HeadKind kind = HeadKind::defined;
  const library::BuiltinEntry* builtin = nullptr;  // for HeadKind::builtin
  cells::Handle* definition = nullptr;             // the table's entry, or null
  bool unit = false;                               // defined in the unit form
  const cells::Handle* entered = nullptr;          // the program's own entry, for hints; null in the prelude
  DefinitionShape* shape = nullptr;                // of a definition that is not a unit; see shapeOf
  mutable SelectionMemo selection;                 // see Machine::selectorKind
};

// The resolution of a head: an atom, or an "@" node (which names nothing).
const Resolution& resolveSlowly(const cells::Cell* head);

// What the inline look-up reads: the cache's entries and what they were made for.
// An entry is found by the slot in its atom's header, and checked by the atom it
// names: a cell whose header field means something else (a length, a mask) never
// matches, so no kind test is needed first.
struct ResolutionSlots {
  const Resolution* entries = nullptr;
  std::size_t size = 0;
  unsigned long long generation = ~0ull;
  std::size_t tableSize = 0;
  const front::Definitions* table = nullptr;
};
inline ResolutionSlots resolutionSlots;

// The same, inline for a name already resolved: the machine asks at every call.
[[gnu::always_inline]] inline const Resolution& resolve(const cells::Cell* head) {
  const ResolutionSlots& s = resolutionSlots;
  if (cells::isAtom(head) && s.generation == front::tablesGeneration() && s.tableSize == s.table->size()) {
    uint64_t slot = cells::lengthCache(head) - 1;
    if (slot < s.size && s.entries[slot].atom == head) return s.entries[slot];
  }
  return resolveSlowly(head);
}

// The shape of the resolved definition, read again if its term was replaced.
const DefinitionShape& readShapeAgain(const Resolution& r);
inline const DefinitionShape& shapeOf(const Resolution& r) {
  if (r.shape->term != r.definition->get()) [[unlikely]]
    return readShapeAgain(r);
  return *r.shape;
}

}  // namespace eval
