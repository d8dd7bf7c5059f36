// What the head atom of a saturated application names, found once per atom: the
// engine asks at every call, and a string-keyed lookup there would dominate the run.
// A plain atom keeps the index of its resolution in its header's length field (a
// field that plain atoms other than one-letter variables do not use); the whole
// cache is dropped whenever the definitions table changes shape.
#pragma once

#include "cells/cell.h"
#include "eval/engine.h"
#include "library/builtin_table.h"

namespace eval {

struct Resolution {
  const cells::Cell* atom = nullptr;
  HeadKind kind = HeadKind::defined;
  const library::BuiltinEntry* builtin = nullptr;  // for HeadKind::builtin
  cells::Handle* definition = nullptr;             // the table's entry, or null
  bool unit = false;                               // defined in the unit form
  const cells::Handle* entered = nullptr;          // the program's own entry, for hints; null in the prelude
};

// The resolution of a head: an atom, or an "@" node (which names nothing).
const Resolution& resolve(const cells::Cell* head);

}  // namespace eval
