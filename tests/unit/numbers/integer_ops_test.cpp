#include "numbers/integer_ops.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cells/common_atoms.h"
#include "cells/convert.h"
#include "numbers/mpz.h"

namespace numbers {
namespace {

class IntegerOpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cells::common(cells::Common::Z);
    before_ = cells::liveCells();
  }
  void TearDown() override { EXPECT_EQ(cells::liveCells(), before_); }
  std::size_t before_ = 0;
};

TEST_F(IntegerOpsTest, Products) {
  // A table aligned by hand.
  // clang-format off
  struct {
    const char *a, *b, *product;
  } cases[] = {{"12", "012", "0144"}, {"0", "05", "0"},     {"099", "099", "9801"}, {"10", "10", "100"},
               {"99", "99", "9801"},  {"05", "0", "0"},
               {"999999999999999999", "999999999999999999", "999999999999999998000000000000000001"},
               {"0123456789012345678901", "2", "0246913578024691357802"}};
  // clang-format on
  for (auto& c : cases) EXPECT_EQ(numeralMultiply(c.a, c.b).text(), c.product) << c.a << " * " << c.b;
}

// n random digits, the first not zero.
std::string randomDigits(std::mt19937_64& random, std::size_t n) {
  std::string s(n, '0');
  for (char& d : s) d = char('0' + random() % 10);
  s[0] = char('1' + random() % 9);
  return s;
}

// Long numerals times short ones (the decimal-limb path) against GMP: lengths on
// both sides of every limb boundary, multipliers of one to three limbs, both signs.
TEST_F(IntegerOpsTest, LongTimesShortAgreesWithGmp) {
  std::mt19937_64 random(5);
  auto digits = [&](std::size_t n) { return randomDigits(random, n); };
  for (std::size_t length = 19; length <= 90; ++length)
    for (std::size_t factorLength : {1, 7, 8, 9, 16, 17, 18}) {
      std::string a = digits(length),
                  b = random() % 5 ? digits(factorLength) : std::string(factorLength, '9');
      if (random() % 2) a = "0" + a;
      if (random() % 2) b = "0" + b;
      Mpz product;
      mpz_mul(product.get(), mpzFromNumeral(a).get(), mpzFromNumeral(b).get());
      EXPECT_EQ(numeralMultiply(a, b).text(), numeralFromMpz(product).text()) << a << " * " << b;
      EXPECT_EQ(numeralMultiply(b, a).text(), numeralMultiply(a, b).text());
    }
  EXPECT_EQ(numeralMultiply("1234567890123456789012", "0").text(), "0");
  EXPECT_EQ(numeralMultiply("99999999999999999999", "100000000").text(), "9999999999999999999900000000");
}

// Long numerals by short ones (the decimal-limb path) against GMP's floor division,
// with both narrow (remainder times 10^8 fits a word) and wide divisors.
TEST_F(IntegerOpsTest, LongBySmallAgreesWithGmp) {
  std::mt19937_64 random(6);
  auto digits = [&](std::size_t n) { return randomDigits(random, n); };
  for (std::size_t length = 19; length <= 90; ++length)
    for (std::size_t divisorLength : {1, 2, 8, 9, 11, 12, 17, 18}) {
      std::string a = digits(length), b = digits(divisorLength);
      if (length % 7 == 0) a = a.substr(0, a.size() - divisorLength) + b;  // often exact
      if (random() % 2) a = "0" + a;
      if (random() % 2) b = "0" + b;
      Mpz q, r;
      mpz_fdiv_q(q.get(), mpzFromNumeral(a).get(), mpzFromNumeral(b).get());
      mpz_fdiv_r(r.get(), mpzFromNumeral(a).get(), mpzFromNumeral(b).get());
      mpz_abs(r.get(), r.get());
      EXPECT_EQ(numeralDivide(a, b).text(), numeralFromMpz(q).text()) << a << " / " << b;
      EXPECT_EQ(numeralRemainder(a, b).text(), numeralFromMpz(r).text()) << a << " % " << b;
    }
  EXPECT_EQ(numeralDivide("0100000000000000000000", "1").text(), "0100000000000000000000");
  EXPECT_EQ(numeralDivide("099999999999999999999", "2").text(), "050000000000000000000");
  EXPECT_EQ(numeralRemainder("099999999999999999999", "2").text(), "1");
}

TEST_F(IntegerOpsTest, FloorQuotientsAndNonNegativeRemainders) {
  // A table aligned by hand.
  // clang-format off
  struct {
    const char *a, *b, *quotient, *remainder;
  } cases[] = {{"7", "2", "3", "1"},   {"07", "2", "04", "1"}, {"7", "02", "04", "1"}, {"07", "02", "3", "1"},
               {"7", "3", "2", "1"},   {"07", "3", "03", "2"}, {"7", "03", "03", "2"}, {"07", "03", "2", "1"},
               {"06", "2", "03", "0"}, {"0", "7", "0", "0"},   {"7", "0", "Z", "Z"},
               {"100000000000000000000", "07", "014285714285714285715", "5"},
               {"0100000000000000000000", "3", "033333333333333333334", "2"}};
  // clang-format on
  for (auto& c : cases) {
    EXPECT_EQ(numeralDivide(c.a, c.b).text(), c.quotient) << c.a << " / " << c.b;
    EXPECT_EQ(numeralRemainder(c.a, c.b).text(), c.remainder) << c.a << " % " << c.b;
  }
}

TEST_F(IntegerOpsTest, Powers) {
  // A table aligned by hand.
  // clang-format off
  struct {
    const char *base, *exponent, *power;
  } cases[] = {{"2", "10", "1024"}, {"02", "3", "08"}, {"02", "2", "4"},  {"5", "0", "1"},
               {"0", "0", "1"},     {"2", "01", "0"},  {"1", "01", "0"}, {"01", "99999999999999999999999", "01"},
               {"0", "7", "0"},     {"2", "100", "1267650600228229401496703205376"},
               {"2", "99999999999999999999999", "Z"}};
  // clang-format on
  for (auto& c : cases)
    EXPECT_EQ(numeralPower(c.base, c.exponent).text(), c.power) << c.base << " ^ " << c.exponent;
}

// Small operands against native 128-bit arithmetic.
TEST_F(IntegerOpsTest, AgreesWithHostArithmetic) {
  std::mt19937_64 random(12);
  for (int i = 0; i < 2000; ++i) {
    int64_t a = int64_t(random()) >> (random() % 64), b = int64_t(random()) >> (random() % 64);
    if (b == 0) continue;
    std::string ta(cells::numeralFromInt64(a).text()), tb(cells::numeralFromInt64(b).text());
    __int128 q = a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
    __int128 r = a - __int128(b) * q;
    EXPECT_EQ(numeralDivide(ta, tb).text(), cells::numeralFromInt64(int64_t(q)).text()) << a << " / " << b;
    EXPECT_EQ(numeralRemainder(ta, tb).text(), cells::numeralFromInt64(int64_t(r < 0 ? -r : r)).text());
    int64_t x = a >> 32, y = b >> 32;
    std::string tx(cells::numeralFromInt64(x).text()), ty(cells::numeralFromInt64(y).text());
    EXPECT_EQ(numeralMultiply(tx, ty).text(), cells::numeralFromInt64(x * y).text());
  }
}

}  // namespace
}  // namespace numbers
