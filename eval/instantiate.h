// The fast machine's substitution: the same result as `substitute` (substitute.h),
// the same cells shared and the same pairs built, by a recursive walk that is cheap
// for the shallow bodies that calls instantiate. Deeper than a fixed bound it hands
// the rest to `substitute`, whose work list takes any depth.
#pragma once

#include "cells/cell.h"
#include "eval/substitute.h"
#include "terms/annotation.h"

namespace eval {

cells::Handle instantiateWalk(cells::Cell* t, const Places& places);

// Inline for the cases the machine meets most: a term that none of the letters is
// free in (shared as it is) and a letter (its value).
inline cells::Handle instantiate(cells::Cell* t, const Places& places) {
  if (cells::isAnnotated(t)) {
    uint32_t mask = terms::cachedMask(t);
    if ((mask & places.letters) == 0) return cells::Handle(t);
    if (cells::isAtom(t))
      return cells::Handle(const_cast<cells::Cell*>(places.values[cells::firstByte(t) - 'a']));
  }
  return instantiateWalk(t, places);
}

}  // namespace eval
