// Atoms that every layer hands out, made once and shared: "Z" (wrong kind, the
// absorbing undefined value), "I" (no value), "K" and "H" (true and false), "V" (the
// pair constructor) and "[" (the empty list).
#pragma once

#include "cells/cell.h"

namespace cells {

enum class Common { Z, I, K, H, V, EmptyList };

// Inline: built-ins answer with these at nearly every call.
const Handle* makeCommonAtoms();
inline const Handle* commonAtoms = nullptr;  // set by the first call
inline const Handle& common(Common which) {
  const Handle* atoms = commonAtoms;
  if (!atoms) [[unlikely]]
    atoms = makeCommonAtoms();
  return atoms[static_cast<int>(which)];
}

inline Handle truth(bool value) { return common(value ? Common::K : Common::H); }

}  // namespace cells
