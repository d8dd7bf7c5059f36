// The expression parser: normalised text to a term whose atoms are the tokens and
// operator characters and whose pairs are applications. It gives no operator a
// meaning: a + b is simply ((+ a) b), and the prelude says what "+" is.
#pragma once

#include <string_view>

#include "cells/cell.h"
#include "front/lexer.h"

namespace front {

// The term of a whole normalised expression. The empty text is the atom "}".
cells::Handle parseExpression(std::string_view normalisedText);

// The term of the piece [begin, end) of a scanned text, for callers that cut a
// larger text themselves.
cells::Handle parseExpression(const Scanner& s, std::size_t begin, std::size_t end);

}  // namespace front
