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
inline uint64_t eightDigitValue(uint64_t chunk) {
  chunk -= 0x3030303030303030ull;
  chunk = chunk * 10 + (chunk >> 8);
  return ((chunk & 0x000000FF000000FFull) * (100 + (1000000ull << 32)) +
          ((chunk >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32))) >>
         32;
}
inline uint64_t eightDigitValue(const char* digits) {
  uint64_t chunk;
  std::memcpy(&chunk, digits, sizeof chunk);
  return eightDigitValue(chunk);
}

// The value of 1 to 15 decimal digit bytes at `text`, whose first sixteen bytes are
// readable; false when one of the `length` bytes is no digit. The digits are read as
// one word or two, the first digits padded with "0" in front.
inline bool readDigitWords(const char* text, uint64_t length, uint64_t& value) {
  constexpr uint64_t kZeros = 0x3030303030303030ull;
  uint64_t first;
  std::memcpy(&first, text, sizeof first);
  uint64_t lead = length <= 8 ? length : length - 8;  // the digits of the first word
  first = first << (8 * (8 - lead)) | (lead == 8 ? 0 : kZeros >> (8 * lead));
  if (!isDigitWord(first)) return false;
  value = eightDigitValue(first);
  if (length <= 8) return true;
  uint64_t last;
  std::memcpy(&last, text + lead, sizeof last);
  if (!isDigitWord(last)) return false;
  value = value * 100000000 + eightDigitValue(last);
  return true;
}

}  // namespace cells
