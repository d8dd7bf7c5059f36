// The kind of a value (cells::ValueKind), which every built-in uses to check its
// arguments: a byte string "[post]", a real "[real]", an integer "[hint]", a numb
// "[numb]", a text "[zits]", anything else "[void]". A number is one in full: an
// atom that begins with a digit but holds other bytes ("5a"), or a bit stream broken
// anywhere along its length, is "[void]".
#pragma once

#include <string_view>

#include "cells/cell.h"

namespace numbers {

using cells::ValueKind;

ValueKind valueKind(const cells::Cell* c);

// The tag that the built-in `type` gives for a kind.
std::string_view kindTag(ValueKind kind);

// The kind in a person's words ("integer", "text", ...; "other" for the rest), for hints.
std::string_view kindName(ValueKind kind);

// A text is an atom holding one well-formed bracket group: it begins with "[" and
// the "]" that closes that first "[" is its last byte. The atom "[" is not a text.
bool isText(std::string_view bytes);

// Gives the cell layer what it needs from this one (value kinds, the numeral text of
// bit streams). Called once at start-up, before any value is classified.
void installCellSeams();

}  // namespace numbers
