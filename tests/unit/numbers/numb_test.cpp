#include "numbers/numb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "cells/convert.h"
#include "numbers/integer_ops.h"
#include "numbers/numeral.h"
#include "numbers/real.h"

namespace numbers {
namespace {

class NumbTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(cells::liveCells(), before_); }
  std::size_t before_ = cells::liveCells();
};

std::string numbOfInteger(std::string_view n) { return numbText(dyadicFromInteger(n)); }

Dyadic value(std::string_view numb) { return *numbValue(cells::makeAtom(numb).get()); }

TEST_F(NumbTest, IntegerToNumb) {
  struct {
    const char *integer, *numb;
  } cases[] = {{"5", "0017"}, {"05", "0008"}, {"0", "00"}, {"1", "001"}, {"01", "000"}, {"2", "004"}};
  for (auto& c : cases) EXPECT_EQ(numbOfInteger(c.integer), c.numb) << c.integer;
  EXPECT_EQ(numbText(value("0017")), "0017");
}

TEST_F(NumbTest, FractionsAreExact) {
  // 001 is one; 002 is the payload 1, 0, 1: one half (weight 2^-1 at position 2).
  Dyadic half = value("002"), one = value("001");
  EXPECT_EQ(doubleFromNumb(half), 0.5);
  EXPECT_EQ(numbText(numbAdd(half, half)), "001");
  EXPECT_EQ(numbText(numbMultiply(half, half)), "008");  // one quarter: weight 2^-2 at position 4
  EXPECT_EQ(doubleFromNumb(numbAdd(one, numbNegate(half))), 0.5);
  EXPECT_TRUE(numbLess(half, one));
  EXPECT_EQ(numbText(*numbRemainder(value("0017"), half)), "00");
  EXPECT_FALSE(numbRemainder(one, value("00")));
}

TEST_F(NumbTest, RealFromNumbTruncates) {
  EXPECT_EQ(doubleFromNumb(value("0017")), 5.0);
  EXPECT_EQ(doubleFromNumb(value("00")), 0.0);
  std::string big(numbOfInteger("9007199254740993"));  // 2^53 + 1 truncates to 2^53
  EXPECT_EQ(doubleFromNumb(value(big)), 9007199254740992.0);
  EXPECT_EQ(doubleFromNumb(value(numbOfInteger("0" + std::string(400, '9')))), -INFINITY);
  Dyadic tiny;
  mpz_set_ui(tiny.m.get(), 3);
  tiny.f = 1075;  // 1.5 * 2^-1074 truncates to the least subnormal
  EXPECT_EQ(doubleFromNumb(tiny), std::ldexp(1.0, -1074));
  tiny.f = 1080;
  EXPECT_EQ(doubleFromNumb(tiny), 0.0);
}

// For integers made numbs, numb results are the integer results made numbs.
TEST_F(NumbTest, AgreesWithIntegersOnRandomValues) {
  std::mt19937_64 random(6);
  auto numeral = [&] {
    std::string digits(1 + random() % 40, '0');
    for (char& d : digits) d = char('0' + random() % 10);
    digits[0] = char('1' + random() % 9);
    return random() % 2 ? "0" + digits : digits;
  };
  for (int i = 0; i < 300; ++i) {
    std::string a = numeral(), b = numeral();
    Dyadic x = dyadicFromInteger(a), y = dyadicFromInteger(b);
    EXPECT_EQ(numbText(numbAdd(x, y)), numbOfInteger(numeralAdd(a, b).text()));
    EXPECT_EQ(numbText(numbAdd(x, numbNegate(y))), numbOfInteger(numeralSubtract(a, b).text()));
    EXPECT_EQ(numbText(numbMultiply(x, y)), numbOfInteger(numeralMultiply(a, b).text()));
    if (b != "0") {
      EXPECT_EQ(numbText(*numbRemainder(x, y)), numbOfInteger(numeralRemainder(a, b).text()));
    }
    EXPECT_EQ(numbLess(x, y), numeralTextLess(a, b));
    std::string e = std::to_string(random() % 6);
    EXPECT_EQ(numbText(*numbPower(x, e)), numbOfInteger(numeralPower(a, e).text()));
  }
}

}  // namespace
}  // namespace numbers
