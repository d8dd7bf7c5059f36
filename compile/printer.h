// The value printer: any term as text, for quoted source, the "Funky" message and
// the report of a result that is not an integer.
#pragma once

#include <string>

#include "cells/cell.h"

namespace compile {

// Atoms: NUL, ')' or ']' first gives "()"; a real "real[%e]"; a byte string
// "cape[...]" with line feed, '[' and ']' as [p], [q], [r]; others their text.
// Pairs: ((g a) b) joins one list "(g a b)"; g applied to one square-bracket group
// is written "g[...]"; everything else "(L R)", which reads back as the same pair.
// A term that shares sub-terms prints each share in full, so a small graph can stand
// for an enormous text; the fuzzing build stops at kLargestResultBytes with "...".
std::string printTerm(const cells::Cell* term);
inline std::string printTerm(const cells::Handle& h) { return printTerm(h.get()); }

}  // namespace compile
