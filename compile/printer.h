// The value printer: any term as text, for quoted source, the "Funky" message and
// the report of a result that is not an integer.
#pragma once

#include <cstddef>
#include <string>

#include "cells/cell.h"

namespace compile {

// Atoms: NUL, ')' or ']' first gives "()"; a real "real[%e]"; a byte string
// "cape[...]" with line feed, '[' and ']' as [p], [q], [r]; others their text.
// Pairs: ((g a) b) joins one list "(g a b)"; g applied to one square-bracket group
// is written "g[...]"; everything else "(L R)", which reads back as the same pair.
// A term that shares sub-terms prints each share in full, so a small graph can stand
// for an enormous text: printing stops once the text passes kLongestPrint bytes, and
// ends it with "...". (The fuzzing build lowers the bound with the result cap.)
#ifdef VORL_SANDBOX
inline constexpr std::size_t kLongestPrint = std::size_t{1} << 22;
#else
inline constexpr std::size_t kLongestPrint = std::size_t{1} << 30;
#endif
std::string printTerm(const cells::Cell* term, std::size_t longest);
inline std::string printTerm(const cells::Cell* term) { return printTerm(term, kLongestPrint); }
inline std::string printTerm(const cells::Handle& h) { return printTerm(h.get()); }

}  // namespace compile
