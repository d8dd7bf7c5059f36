// A GMP integer that frees itself: the working form of long numerals, bit forms and
// numb payloads inside this folder. Nothing outside `numbers` sees it.
#pragma once

#include <gmp.h>

#include <string>
#include <string_view>

namespace numbers {

// Routes GMP's allocations through the interpreter's own failure report, so that a
// number too large for memory ends the run with status 128 rather than an abort.
void installMpzAllocation();

class Mpz {
 public:
  Mpz() { mpz_init(value_); }
  explicit Mpz(unsigned long v) { mpz_init_set_ui(value_, v); }
  Mpz(const Mpz& other) { mpz_init_set(value_, other.value_); }
  Mpz& operator=(const Mpz& other) {
    mpz_set(value_, other.value_);
    return *this;
  }
  ~Mpz() { mpz_clear(value_); }

  mpz_ptr get() { return value_; }
  mpz_srcptr get() const { return value_; }
  int sign() const { return mpz_sgn(value_); }
  // Bits needed for the magnitude; 0 for zero.
  std::size_t bitLength() const { return sign() == 0 ? 0 : mpz_sizeinbase(value_, 2); }
  bool bit(std::size_t i) const { return mpz_tstbit(value_, i) != 0; }

 private:
  mpz_t value_;
};

// The value of a text of decimal digits (the empty text is zero).
Mpz mpzFromDigits(std::string_view digits);
// The decimal digits of a magnitude, most significant first ("0" for zero).
std::string digitsOfMpz(const Mpz& magnitude);

}  // namespace numbers
