// The per-cell analysis that the reduction engine reads: the free-letter mask (the
// one-letter variables free in a cell) and the graph annotation (the data marker
// "@", or a count of missing arguments with a flag), both cached in the header.
#pragma once

#include <cstdint>

#include "cells/cell.h"

namespace terms {

// Annotates `term` and every cell below it that is not yet annotated, children
// first. A name without a table entry must be a lowercase letter (an invariant:
// the checks reject every other case before anything is annotated).
void annotate(cells::Cell* term);

// Annotates a pair just built over annotated children: one step, no walk. The
// machine builds most of its pairs this way, one at a time.
void annotatePair(cells::Cell* p);

// The cached mask of an annotated cell: bit i for the letter 'a' + i; 0 where the
// header field holds something else (cells::headerFieldOf).
inline uint32_t cachedMask(const cells::Cell* c) {
  return cells::headerFieldOf(c) == cells::HeaderField::letterMask ? uint32_t(cells::lengthCache(c)) : 0;
}

// The letters free in a term by ordinary scoping, computed without annotating
// (so without the invariant above), for the checks.
uint32_t freeLetters(const cells::Cell* term);

// The number of leading abstraction layers of a term, at most `limit`.
int leadingLambdas(const cells::Cell* term, int limit);

}  // namespace terms
