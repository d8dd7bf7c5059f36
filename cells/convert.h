// Conversions between cells and host values: integers live in cells as decimal
// numeral atoms ("0", "120", and "05" for minus five: a leading 0 on a longer
// text is the minus sign). Also the integer and sign tests and the address that
// a built-in receives for a value.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "cells/cell.h"
#include "cells/digit_words.h"

namespace cells {

// What the cell layer needs from the numbers layer, which installs it at start-up:
// the numeral text of an integer bit stream (one that the integer test accepts), and
// the value kind of a cell.
struct NumberSeams {
  std::string (*streamText)(const Cell* stream) = nullptr;
  ValueKind (*valueKind)(const Cell* value) = nullptr;
};
NumberSeams& numberSeams();

Handle numeralFromInt64(int64_t v);
Handle numeralFromUInt64(uint64_t v);

// The sign of an integer numeral: a "0" before the magnitude ("05" is minus five).
inline bool isNegativeText(std::string_view s) { return s.size() > 1 && s[0] == '0'; }
// An atom's text read as a number: the atom "K" (the empty bit stream) reads "0".
inline std::string_view numeralAtomText(const Cell* c) {
  return isAtomText(c, "K") ? std::string_view("0") : text(c);
}

// The numeral format, the one definition that every layer calls. A number atom holds
// decimal digits only: two zeros first make it a numb (an exact binary fraction),
// and any other digit text is an integer: "0", a magnitude without leading zeros, or
// "0" before such a magnitude for a negative ("05" is minus five). A text of other
// bytes is no number, even when it begins with a digit ("5a", "1,").
enum class NumeralForm : uint8_t { none, integer, numb };
NumeralForm numeralForm(std::string_view s);
// The form of an atom's text; none for a pair or an atom that begins with no digit.
NumeralForm numeralForm(const Cell* c);

// True for integer numerals, the atom "K" (the empty bit stream, zero) and the
// well-formed bit streams ((J K) x) (the numbers layer reads them).
bool isInteger(const Cell* c);

// The sign test: false exactly for negative integers.
bool isNonNegative(const Cell* c);

// The integer's value modulo 2^64, for numerals of any length.
int64_t int64FromCell(const Cell* c);

// The value of an integer numeral atom of at most 18 digits whose length the
// header records (most counters, characters and addresses), read without the
// general tests; false for any other cell, which the callers then read the
// general way (isInteger, int64FromCell) with the same result.
inline bool readShortInteger(const Cell* c, int64_t& value) {
  uint64_t length = lengthCache(c);
  if (!isAtom(c) || atomKind(c) != AtomKind::numeral || length == 0 || length > 18) return false;
  const char* p = chars(c);
  bool negative = length > 1 && p[0] == '0';
  if (negative && p[1] == '0') return false;  // a numb
  // The minus sign is a "0": read with the digits, it adds nothing to the magnitude.
  // A few digits (a byte, a counter) one by one; more (an address) a word at a time,
  // from the sixteen readable text bytes of a small atom (allocateAtom).
  uint64_t m = 0;
  if (length <= 4 || length > kSmallAtom) {
    for (uint64_t i = 0; i < length; ++i) {
      unsigned digit = unsigned(p[i]) - '0';
      if (digit > 9) return false;
      m = m * 10 + digit;
    }
  } else if (!readDigitWords(p, length, m)) {
    return false;
  }
  value = negative ? -int64_t(m) : int64_t(m);
  return true;
}

// A byte string's payload, the bytes after "(" + length digits + ")"; empty when
// the atom has no ")".
std::string_view byteStringPayload(const Cell* c);

// A real's payload: the eight raw bytes after its " ", as they lie in memory.
inline std::string_view realPayload(const Cell* real) { return {chars(real) + 1, 8}; }
inline uint64_t realBits(const Cell* real) {
  uint64_t bits;
  std::memcpy(&bits, realPayload(real).data(), sizeof bits);
  return bits;
}

// The address a built-in receives: an integer's value, a text's first byte, a byte
// string's first payload byte. Valid only while the caller holds the cell.
const void* hostPointer(const Cell* c);

}  // namespace cells
