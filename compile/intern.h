// The interning set: one shared cell for each distinct term, so that equal
// sub-terms of all definitions (and the results of the built-in `tern`) are one
// cell and an identity test sees them as the same.
#pragma once

#include "cells/cell.h"

namespace compile {

// The canonical cell equal to `term`, entering its new sub-terms into the set.
cells::Handle intern(const cells::Handle& term);

// Empties the set, releasing the cells it holds.
void clearInterned();

}  // namespace compile
