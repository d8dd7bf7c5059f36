// The fast machine's substitution: the same result as `substitute` (substitute.h),
// the same cells shared and the same pairs built, by a recursive walk that is cheap
// for the shallow bodies that calls instantiate. Deeper than a fixed bound it hands
// the rest to `substitute`, whose work list takes any depth.
#pragma once

#include "cells/cell.h"
#include "eval/substitute.h"

namespace eval {

cells::Handle instantiate(cells::Cell* t, const Places& places);

}  // namespace eval
