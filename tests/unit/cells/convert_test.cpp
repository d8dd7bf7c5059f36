#include "cells/convert.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace cells {
namespace {

class ConvertTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(liveCells(), before_); }
  std::size_t before_ = liveCells();
};

Handle pair(const char* f, const char* x) { return makePair(makeAtom(f), makeAtom(x)); }
Handle stream(const char* bit, Handle rest) { return makePair(pair("J", bit), std::move(rest)); }

TEST_F(ConvertTest, NumeralFromInt64) {
  struct {
    int64_t value;
    const char* text;
  } cases[] = {{0, "0"},
               {-1, "01"},
               {7, "7"},
               {-100, "0100"},
               {INT64_MIN, "09223372036854775808"},
               {INT64_MAX, "9223372036854775807"}};
  for (auto& c : cases) {
    Handle n = numeralFromInt64(c.value);
    EXPECT_EQ(n.text(), c.text);
    EXPECT_EQ(int64FromCell(n.get()), c.value) << c.text;
  }
  // Every digit count on both sides of each power of ten, both signs.
  for (int64_t power = 1; power <= INT64_MAX / 10; power *= 10)
    for (int64_t v : {power - 1, power, power + 1, power * 9 + power - 1})
      for (int64_t signed_v : {v, -v}) {
        std::string expected = signed_v < 0 ? "0" + std::to_string(-signed_v) : std::to_string(signed_v);
        ASSERT_EQ(numeralFromInt64(signed_v).text(), expected);
        ASSERT_EQ(numeralFromUInt64(uint64_t(v)).text(), std::to_string(v));
      }
  EXPECT_EQ(numeralFromUInt64(UINT64_MAX).text(), "18446744073709551615");
}

// Small numerals are made once and shared, and are not counted as live: each end
// of the shared range and beyond it reads right, and a shared one is the same cell.
TEST_F(ConvertTest, SmallNumeralsAreShared) {
  std::size_t before = liveCells();
  for (int64_t v : {-257, -256, -1, 0, 255, 8192, 8193}) {
    std::string expected = v < 0 ? "0" + std::to_string(-v) : std::to_string(v);
    EXPECT_EQ(numeralFromInt64(v).text(), expected);
    if (v >= 0) {
      EXPECT_EQ(numeralFromUInt64(uint64_t(v)).text(), expected);
    }
  }
  EXPECT_EQ(numeralFromInt64(-256).get(), numeralFromInt64(-256).get());
  EXPECT_EQ(numeralFromInt64(8192).get(), numeralFromUInt64(8192).get());
  EXPECT_NE(numeralFromInt64(8193).get(), numeralFromInt64(8193).get());
  EXPECT_EQ(liveCells(), before);
}

TEST_F(ConvertTest, Int64FromCellWrapsModulo64Bits) {
  struct {
    const char* text;
    int64_t value;
  } cases[] = {{"18446744073709551617", 1},   // 2^64 + 1
               {"018446744073709551615", 1},  // -(2^64 - 1)
               {"18446744073709551615", -1},
               {"9223372036854775808", INT64_MIN},
               {"340282366920938463463374607431768211457", 1},  // 2^128 + 1
               {"K", 0}};
  for (auto& c : cases) EXPECT_EQ(int64FromCell(makeAtom(c.text).get()), c.value) << c.text;
}

// Every byte counts, at either side of the word boundaries of the check (8, 16) and
// in short and long atoms alike.
TEST_F(ConvertTest, NumeralForm) {
  const std::string digits40 = "1234567890123456789012345678901234567890";
  struct {
    std::string text;
    NumeralForm form;
  } cases[] = {
      {"0", NumeralForm::integer},
      {"05", NumeralForm::integer},
      {"120", NumeralForm::integer},
      {"12345678", NumeralForm::integer},
      {"123456789012345", NumeralForm::integer},
      {digits40, NumeralForm::integer},
      {"0" + digits40, NumeralForm::integer},
      {"00", NumeralForm::numb},
      {"007", NumeralForm::numb},
      {"00" + digits40, NumeralForm::numb},
      {"", NumeralForm::none},
      {"5a", NumeralForm::none},
      {"1,", NumeralForm::none},
      {"0a", NumeralForm::none},
      {"00x", NumeralForm::none},
      {"1234567/", NumeralForm::none},
      {"1234567:", NumeralForm::none},
      {"12345678 ", NumeralForm::none},
      {"123456789012345~", NumeralForm::none},
      {digits40 + "a", NumeralForm::none},
      {digits40.substr(0, 20) + "\xff" + digits40, NumeralForm::none},
      {"12" + std::string(1, '\0') + "34", NumeralForm::none},
      {"abc", NumeralForm::none},
  };
  for (auto& c : cases) {
    EXPECT_EQ(numeralForm(c.text), c.form) << c.text;
    EXPECT_EQ(numeralForm(makeAtom(c.text).get()),
              c.text[0] >= '0' && c.text[0] <= '9' ? c.form : NumeralForm::none)
        << c.text;
  }
  EXPECT_EQ(numeralForm(pair("5", "5").get()), NumeralForm::none);
}

TEST_F(ConvertTest, IntegerTest) {
  for (const char* yes : {"K", "0", "05", "120", "9", "123456789012345678901234567890"})
    EXPECT_TRUE(isInteger(makeAtom(yes).get())) << yes;
  for (const char* no : {"00", "007", "abc", "[1]", "", "H", "5a", "1,", "0a", "Kx", "1234567890123456789a"})
    EXPECT_FALSE(isInteger(makeAtom(no).get())) << no;
}

// The short reading agrees with the general one wherever it answers, and leaves
// every other cell to it.
TEST_F(ConvertTest, ShortIntegersReadAsTheGeneralWayReadsThem) {
  std::vector<std::string> texts;
  for (const char* text : {"0", "05", "98", "01", "120", "999999999999999999", "0999999999999999999",
                           "140514955365280", "00", "007", "5a", "1234567890123456789", "K", "[1]", ""})
    texts.push_back(text);
  // Every length read in one word, two, or digit by digit, with a stray byte in the
  // first and the last word.
  for (std::size_t n = 1; n <= 19; ++n) {
    std::string digits = std::string("9876543210987654321").substr(0, n);
    texts.push_back(digits);
    texts.push_back("0" + digits.substr(1));
    for (std::size_t at : {std::size_t{1}, n / 2, n - 1})
      if (at > 0 && at < n) texts.push_back(digits.substr(0, at) + "/" + digits.substr(at + 1));
  }
  for (const std::string& s : texts) {
    const char* text = s.c_str();
    Handle c = makeAtom(text);
    int64_t value = 0;
    bool read = readShortInteger(c.get(), value);
    std::size_t digits = std::string_view(text).size();
    bool expected = isInteger(c.get()) && text[0] != 'K' && digits <= 18;
    EXPECT_EQ(read, expected) << text;
    if (read) {
      EXPECT_EQ(value, int64FromCell(c.get())) << text;
    }
  }
  Handle two = pair("5", "5");
  int64_t value = 0;
  EXPECT_FALSE(readShortInteger(two.get(), value));
}

// A pair of the integer shape is an integer when the numbers layer finds the whole
// stream well formed; other shapes are refused without asking it.
TEST_F(ConvertTest, IntegerTestOfPairsAsksTheNumbersLayer) {
  NumberSeams saved = numberSeams();
  numberSeams().valueKind = [](const Cell* c) {
    return cells::text(rightOf(c)) == "K" ? ValueKind::integer : ValueKind::other;
  };
  EXPECT_TRUE(isInteger(stream("K", makeAtom("K")).get()));
  EXPECT_FALSE(isInteger(stream("K", makeAtom("x")).get()));
  numberSeams().valueKind = [](const Cell*) -> ValueKind {
    ADD_FAILURE();
    return ValueKind::integer;
  };
  EXPECT_FALSE(isInteger(stream("H", makeAtom("K")).get()));
  EXPECT_FALSE(isInteger(pair("f", "x").get()));
  EXPECT_FALSE(isInteger(makePair(pair("K", "J"), makeAtom("K")).get()));
  numberSeams() = saved;
}

TEST_F(ConvertTest, SignTest) {
  for (const char* yes : {"7", "0", "K", "120"}) EXPECT_TRUE(isNonNegative(makeAtom(yes).get())) << yes;
  for (const char* no : {"07", "0100"}) EXPECT_FALSE(isNonNegative(makeAtom(no).get())) << no;
}

TEST_F(ConvertTest, BitStreamsGoThroughTheNumbersSeam) {
  NumberSeams saved = numberSeams();
  numberSeams().streamText = [](const Cell*) { return std::string("042"); };
  Handle s = stream("K", makeAtom("K"));
  EXPECT_EQ(int64FromCell(s.get()), -42);
  EXPECT_FALSE(isNonNegative(s.get()));
  numberSeams() = saved;
}

TEST_F(ConvertTest, HostPointerByKind) {
  NumberSeams saved = numberSeams();
  numberSeams().valueKind = [](const Cell* c) -> ValueKind {
    switch (firstByte(c)) {
      case '[': return ValueKind::text;
      case '(': return ValueKind::byteString;
      default: return isInteger(c) ? ValueKind::integer : ValueKind::other;
    }
  };
  Handle text = makeAtom("[abc]");
  EXPECT_EQ(hostPointer(text.get()), chars(text.get()));
  Handle post = makeAtom("(c)xyz");
  EXPECT_EQ(static_cast<const char*>(hostPointer(post.get())), chars(post.get()) + 3);
  Handle address = makeAtom("4096");
  EXPECT_EQ(reinterpret_cast<uintptr_t>(hostPointer(address.get())), 4096u);
  Handle other = makeAtom("V");
  EXPECT_DEATH(hostPointer(other.get()), "ASSERTION FAILED:");
  numberSeams() = saved;
}

}  // namespace
}  // namespace cells
