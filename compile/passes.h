// The rewrites that prepare definitions for the engine: the quote pass, the
// pair-pattern pass and the renaming of binders to places (the letters a to z).
#pragma once

#include "cells/cell.h"

namespace compile {

// (` X) becomes (V [text of X] X): a quoted expression is its source and its value.
cells::Handle quotePass(const cells::Handle& term);

// (p q){B}C with p and q names becomes q{B}p{q K}q{q H}C: q takes the pair, p its
// first part, then q its second part.
cells::Handle pairPatternPass(const cells::Handle& term);

// Gives every binder name of a definition its own place, avoiding the letters that
// occur free in it, and renames the keys and the occurrences they bind. Returns
// false (leaving the term unchanged) when the letters run out, which can only
// happen when a letter is free, so the "Local" check reports it.
bool renameBinders(cells::Handle& term);

}  // namespace compile
