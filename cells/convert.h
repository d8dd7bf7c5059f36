// Conversions between cells and host values: integers live in cells as decimal
// numeral atoms ("0", "120", and "05" for minus five: a leading 0 on a longer
// text is the minus sign). Also the integer and sign tests and the address that
// a built-in receives for a value.
#pragma once

#include <cstdint>
#include <string>

#include "cells/cell.h"

namespace cells {

// What the cell layer needs from the numbers layer, which installs it at start-up:
// the numeral text of an integer-shaped pair (a bit stream ((J K) x)), and the
// value-kind letter of a cell ('a' byte string, 'e' real, 'i' integer, 'o' numb,
// 'u' text, 'w' anything else).
struct NumberSeams {
  std::string (*streamText)(const Cell* stream) = nullptr;
  char (*valueKind)(const Cell* value) = nullptr;
};
NumberSeams& numberSeams();

Handle numeralFromInt64(int64_t v);
Handle numeralFromUInt64(uint64_t v);

// True for numeral atoms (not "00..."), the atom "K" (the empty bit stream, zero)
// and any pair ((J K) x).
bool isInteger(const Cell* c);

// The sign test: false exactly for negative integers.
bool isNonNegative(const Cell* c);

// The integer's value modulo 2^64, for numerals of any length.
int64_t int64FromCell(const Cell* c);

// The address a built-in receives: an integer's value, a text's first byte, a byte
// string's first payload byte. Valid only while the caller holds the cell.
const void* hostPointer(const Cell* c);

}  // namespace cells
