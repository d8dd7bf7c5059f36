// Sums, differences and comparisons of short numerals (at most 15 bytes, the ones a
// small atom holds) worked on their decimal digits directly: loops count with such
// numbers, and this path neither converts to binary and back nor multiplies.
//
// A short numeral's magnitude is held as sixteen bytes, one decimal digit (0 to 9)
// per byte, the least significant digit in the lowest byte. Two such values compare
// as 128-bit integers, and add or subtract with a correction of the bytes that did
// not carry (or did borrow).
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "cells/cell.h"
#include "cells/convert.h"
#include "cells/digit_words.h"

namespace numbers::short_numeral {

using Wide = unsigned __int128;

inline constexpr Wide repeated(uint8_t byte) {
  Wide w = 0;
  for (int i = 0; i < 16; ++i) w = w << 8 | byte;
  return w;
}
inline constexpr Wide kZeros = repeated('0');
inline constexpr Wide kOnes = repeated(0x01);
inline constexpr Wide kCarryBias = repeated(256 - 10);

inline Wide reverseBytes(Wide w) {
  static_assert(std::endian::native == std::endian::little, "digit words are little-endian");
  return Wide(__builtin_bswap64(uint64_t(w))) << 64 | __builtin_bswap64(uint64_t(w >> 64));
}

struct Value {
  Wide digits;
  bool negative;
};

inline constexpr uint64_t kZeros8 = uint64_t(kZeros);

// A word of eight text bytes as digits, or false when a byte is no digit.
inline bool digitWord(uint64_t text, uint64_t& digits) {
  digits = text - kZeros8;
  return cells::isDigitWord(text);
}

// A numeral atom of 1 to 15 bytes as digits and sign; false for anything else, which
// the general path then takes. The atom's sixteen text bytes are all written (text,
// NUL, zeros: see allocateAtom), so they are loaded as two words whatever the length.
// A minus sign is a leading "0" and reads as a zero digit. Any other atom's length
// field holds no length, but its bytes are readable too, and a plain atom never
// begins with a digit.
[[gnu::always_inline]] inline bool read(const cells::Cell* c, Value& value) {
  uint64_t header = c->header;
  const char* p = cells::chars(c);
  std::size_t length = (header & cells::kLengthMask) >> cells::kLengthShift;
  if (!(header & cells::kAtomBit) || length - 1 >= cells::kSmallAtom) return false;
  uint64_t front, back, low, high = 0;
  std::memcpy(&front, p, 8);
  std::memcpy(&back, p + 8, 8);
  front = __builtin_bswap64(front);  // first text byte highest
  back = __builtin_bswap64(back);
  // The last text byte to the lowest byte, "0" above the first.
  if (length <= 8) {  // most counters: one word
    if (!digitWord(front >> (8 * (8 - length)) | (length == 8 ? 0 : kZeros8 << (8 * length)), low))
      return false;
  } else {
    std::size_t rest = length - 8;  // 1 to 7 bytes in the back word
    if (!digitWord(back >> (8 * (8 - rest)) | front << (8 * rest), low) ||
        !digitWord(front >> (8 * (8 - rest)) | kZeros8 << (8 * rest), high))
      return false;
  }
  bool negative = cells::isNegativeText({p, length});
  if (negative && p[1] == '0') return false;
  value = {Wide(high) << 64 | low, negative};
  return true;
}

[[gnu::always_inline]] inline bool readBoth(const cells::Cell* x, const cells::Cell* y, Value& a, Value& b) {
  return read(x, a) && read(y, b);
}

// |a| + |b|: each byte biased so that a digit sum of ten or more carries out of it;
// the bias is then taken back from the bytes that did not carry.
inline Wide addMagnitudes(Wide a, Wide b) {
  Wide sum = a + b + kCarryBias;
  return sum - ((sum >> 7) & kOnes) * (256 - 10);
}

// |a| - |b| for |a| >= |b|: a byte that borrowed holds 256 plus its digit minus ten.
inline Wide subtractMagnitudes(Wide a, Wide b) {
  Wide difference = a - b;
  return difference - ((difference >> 7) & kOnes) * (256 - 10);
}

inline bool equal(const Value& a, const Value& b) { return a.digits == b.digits && a.negative == b.negative; }

inline bool less(const Value& a, const Value& b) {
  if (a.negative != b.negative) return a.negative;
  return a.negative ? b.digits < a.digits : a.digits < b.digits;
}

// The atom of a sign and magnitude, or an empty handle when it needs more than 15
// bytes (the general path makes it then).
inline cells::Handle atom(Wide digits, bool negative) {
  if (digits == 0) return cells::makeSmallAtom('0', 0, 1);
  int top = digits >> 64 ? 64 + std::bit_width(uint64_t(digits >> 64)) : std::bit_width(uint64_t(digits));
  std::size_t count = std::size_t(top + 7) / 8;
  if (count + negative > cells::kSmallAtom) return {};
  std::size_t length = count + negative;
  if (length <= 8) {
    uint64_t text =
        __builtin_bswap64(uint64_t(digits) | uint64_t(kZeros) >> (8 * (8 - count))) >> (8 * (8 - count));
    if (negative) text = text << 8 | '0';
    return cells::makeSmallAtom(text, 0, length);
  }
  Wide text = reverseBytes(digits | kZeros >> (8 * (16 - count))) >> (8 * (16 - count));
  if (negative) text = text << 8 | '0';
  return cells::makeSmallAtom(uint64_t(text), uint64_t(text >> 64), length);
}

// a + b, or an empty handle for a result too long for this path.
inline cells::Handle sum(const Value& a, const Value& b) {
  if (a.negative == b.negative) return atom(addMagnitudes(a.digits, b.digits), a.negative);
  if (a.digits >= b.digits) return atom(subtractMagnitudes(a.digits, b.digits), a.negative);
  return atom(subtractMagnitudes(b.digits, a.digits), b.negative);
}

inline cells::Handle difference(const Value& a, Value b) {
  b.negative = !b.negative && b.digits != 0;
  return sum(a, b);
}

}  // namespace numbers::short_numeral
