#include "numbers/real.h"

#include <gtest/gtest.h>

#include <cmath>

#include "cells/convert.h"

namespace numbers {
namespace {

class RealTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(cells::liveCells(), before_); }
  std::size_t before_ = cells::liveCells();
};

TEST_F(RealTest, NineBytesInHostOrder) {
  cells::Handle one = realFromDouble(1.0);
  EXPECT_EQ(one.text(), std::string_view("\x20\0\0\0\0\0\0\xF0\x3F", 9));
  EXPECT_EQ(doubleFromReal(one.get()), 1.0);
  EXPECT_TRUE(std::isnan(doubleFromReal(realFromDouble(NAN).get())));
}

TEST_F(RealTest, Texts) {
  struct {
    double value;
    const char* text;
  } cases[] = {{1.5, "1.500000e+00"}, {-0.0, "-0.000000e+00"}, {INFINITY, "inf"}, {1e300, "1.000000e+300"}};
  for (auto& c : cases) EXPECT_EQ(realText(realFromDouble(c.value).get()), c.text);
}

TEST_F(RealTest, FromIntegers) {
  struct {
    std::string numeral;
    double value;
  } cases[] = {{"05", -5.0},
               {"0", 0.0},
               {"9007199254740993", 9007199254740992.0},
               {std::string(400, '9'), INFINITY},
               {"0" + std::string(400, '9'), -INFINITY}};
  for (auto& c : cases) EXPECT_EQ(doubleFromInteger(c.numeral), c.value) << c.numeral;
}

}  // namespace
}  // namespace numbers
