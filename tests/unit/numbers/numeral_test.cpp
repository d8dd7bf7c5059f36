#include "numbers/numeral.h"

#include <gtest/gtest.h>

#include <random>

#include "cells/convert.h"
#include "numbers/value_kind.h"

namespace numbers {
namespace {

class NumeralTest : public ::testing::Test {
 protected:
  void SetUp() override { installCellSeams(); }
  void TearDown() override { EXPECT_EQ(cells::liveCells(), before_); }
  std::size_t before_ = cells::liveCells();
};

TEST_F(NumeralTest, IsNumeralChecksEveryByte) {
  for (const char* yes : {"0", "05", "120"}) EXPECT_TRUE(isNumeral(yes)) << yes;
  for (const char* no : {"", "00", "007", "a1", "5a", "1,", "0123456789x"}) EXPECT_FALSE(isNumeral(no)) << no;
}

TEST_F(NumeralTest, SignedSumsAndDifferences) {
  struct {
    const char *a, *b, *sum, *difference;
  } cases[] = {
      {"5", "07", "02", "12"},
      {"07", "5", "02", "012"},
      {"7", "07", "0", "14"},
      {"999", "1", "1000", "998"},
      {"01", "0999", "01000", "998"},
      {"1000", "1", "1001", "999"},
      {"0", "5", "5", "05"},
      {"0", "0", "0", "0"},
      {"99999999999999999999", "1", "100000000000000000000", "99999999999999999998"},
      {"0100000000000000000000", "1", "099999999999999999999", "0100000000000000000001"},
      {"123456789012345678901234567890", "0123456789012345678901234567890", "0",
       "246913578024691357802469135780"},
  };
  for (auto& c : cases) {
    EXPECT_EQ(numeralAdd(c.a, c.b).text(), c.sum) << c.a << " + " << c.b;
    EXPECT_EQ(numeralSubtract(c.a, c.b).text(), c.difference) << c.a << " - " << c.b;
  }
  EXPECT_EQ(numeralNegate("0"), "0");
  EXPECT_EQ(numeralNegate("05"), "5");
  EXPECT_EQ(numeralNegate("5"), "05");
}

TEST_F(NumeralTest, Comparisons) {
  struct {
    const char *a, *b;
    bool less;
  } cases[] = {{"03", "02", true},    {"02", "03", false},
               {"0", "0", false},     {"05", "0", true},
               {"0", "05", false},    {"99", "100", true},
               {"0100", "099", true}, {"123456789012345678901", "123456789012345678902", true}};
  for (auto& c : cases) EXPECT_EQ(numeralTextLess(c.a, c.b), c.less) << c.a << " < " << c.b;
}

// Sums, differences and order of random values near the 64-bit edge, against
// 128-bit host arithmetic (crossing the 18-digit fast path both ways).
TEST_F(NumeralTest, AgreesWithHostArithmetic) {
  std::mt19937_64 random(5);
  auto text = [](__int128 v) {
    std::string digits;
    unsigned __int128 m = v < 0 ? -static_cast<unsigned __int128>(v) : v;
    do digits.insert(digits.begin(), char('0' + int(m % 10)));
    while (m /= 10);
    return v < 0 ? "0" + digits : digits;
  };
  for (int i = 0; i < 2000; ++i) {
    __int128 a = int64_t(random()) >> (random() % 64), b = int64_t(random()) >> (random() % 64);
    if (i % 3 == 0) a *= 1000;
    EXPECT_EQ(numeralAdd(text(a), text(b)).text(), text(a + b));
    EXPECT_EQ(numeralSubtract(text(a), text(b)).text(), text(a - b));
    EXPECT_EQ(numeralTextLess(text(a), text(b)), a < b);
  }
}

TEST_F(NumeralTest, NumeralTextOfAtoms) {
  EXPECT_EQ(NumeralText(cells::makeAtom("K").get()).view(), "0");
  EXPECT_EQ(NumeralText(cells::makeAtom("012").get()).view(), "012");
  EXPECT_FALSE(NumeralText(cells::makeAtom("1x").get()).valid());
  EXPECT_FALSE(NumeralText(cells::makeAtom("[1]").get()).valid());
}

}  // namespace
}  // namespace numbers
