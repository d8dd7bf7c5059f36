#include "front/bracket_matcher.h"

#include <gtest/gtest.h>

namespace front {
namespace {

TEST(PositionCodeTest, Digits) {
  EXPECT_EQ(positionCode(0), "_____");
  EXPECT_EQ(positionCode(1), "____a");
  EXPECT_EQ(positionCode(64), "___a_");
  EXPECT_EQ(positionCode(26), "____y");
  EXPECT_EQ(positionCode(63), "____~");
  EXPECT_EQ(positionCode((int64_t{1} << 30) - 1), "~~~~~");
  EXPECT_EQ(positionCode(int64_t{1} << 30), "!!!!!");
}

TEST(CheckBracketsTest, Passes) {
  for (const char* ok : {"g(a,b)", "(g)(a,b)", "[x](a,b)", "{a,b}", "[(]", "[a,(b]", "", "f{x}(y)", "a,b",
                         "((x))", "g(a,(b))"}) {
    driver::Diagnostic d;
    EXPECT_TRUE(checkBrackets(ok, d)) << ok << ": " << d.Message;
    EXPECT_TRUE(d.empty());
  }
}

TEST(CheckBracketsTest, Failures) {
  struct {
    std::string text, type, message;
    int64_t position;
  } cases[] = {
      {"g (a,b)", "Comma", "Comma[____d]Comma encountered in parenthesization which is not a call list.", 4},
      {"(a,b)", "Comma", "Comma[____b]Comma encountered in parenthesization which is not a call list.", 2},
      {"x+(a,b)", "Comma", "Comma[____d]Comma encountered in parenthesization which is not a call list.", 4},
      {"(a,(b,c))", "Comma", "Comma[____e]Comma encountered in parenthesization which is not a call list.",
       5},
      {")", "Match", "Match[_____]Left dangling parenthesis.", 0},
      {"(]", "Match", "Match[_____]Doesn't fit ']' at [____a].", 0},
      {"((", "Match", "Match[____a]Right dangling parenthesis.", 1},
      {"{x", "Match", "Match[_____]Right dangling wing.", 0},
      {"a]", "Match", "Match[____a]Left dangling bracket.", 1},
      {std::string(70, ' ') + "}", "Match", "Match[___af]Left dangling wing.", 70},
  };
  for (auto& c : cases) {
    driver::Diagnostic d;
    EXPECT_FALSE(checkBrackets(c.text, d)) << c.text;
    EXPECT_EQ(d.Type, c.type) << c.text;
    EXPECT_EQ(d.Message, c.message) << c.text;
    EXPECT_EQ(d.position, c.position) << c.text;
    EXPECT_EQ(d.Name, "");
  }
}

TEST(CheckBracketsTest, DeepNestingIsLinear) {
  std::string deep = std::string(1'000'000, '(') + "x" + std::string(1'000'000, ')');
  driver::Diagnostic d;
  EXPECT_TRUE(checkBrackets(deep, d));
}

}  // namespace
}  // namespace front
