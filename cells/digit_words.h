// Eight decimal digits at a time, as words whose first text byte is the low byte:
// numerals are decimal text, and these turn a word of digit bytes into its value and
// back without a loop over the digits.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace cells {

static_assert(std::endian::native == std::endian::little, "digit words are little-endian");

// The eight digit bytes of v < 10^8, first digit in the low byte: split into halves
// of four digits, then two, then one, all lanes at once.
inline uint64_t eightDigitText(uint64_t v) {
  uint64_t y = v / 10000 | (v % 10000) << 32;
  uint64_t z = (y * 10486 >> 20) & 0x0000007F0000007Full;  // quotients by 100 (lanes < 10^4)
  y = z | (y - 100 * z) << 16;
  z = (y * 103 >> 10) & 0x000F000F000F000Full;  // quotients by 10 (lanes < 100)
  y = z | (y - 10 * z) << 8;
  return y | 0x3030303030303030ull;
}

// True when all eight bytes of the word are decimal digits: each byte less "0" is
// below ten. A byte below "0" wraps into its high bit and one above "9" reaches it
// once 0x76 is added; the borrows and carries this sends to higher bytes never
// hide a failure, as the lowest failing byte receives none and always shows.
inline bool isDigitWord(uint64_t text) {
  uint64_t digits = text - 0x3030303030303030ull;
  return ((digits | (digits + 0x7676767676767676ull)) & 0x8080808080808080ull) == 0;
}

// The value of eight digit bytes known to be digits: pairs of digits, then two
// products that gather the four pairs.
inline uint64_t eightDigitValue(const char* digits) {
  uint64_t chunk;
  std::memcpy(&chunk, digits, sizeof chunk);
  chunk -= 0x3030303030303030ull;
  chunk = chunk * 10 + (chunk >> 8);
  return ((chunk & 0x000000FF000000FFull) * (100 + (1000000ull << 32)) +
          ((chunk >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32))) >>
         32;
}

}  // namespace cells
