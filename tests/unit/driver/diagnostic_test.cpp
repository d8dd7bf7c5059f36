#include "driver/diagnostic.h"

#include <gtest/gtest.h>

namespace driver {
namespace {

TEST(ReportTest, WithAndWithoutName) {
  Diagnostic cycle;
  fail(cycle, "Cycle", "Cycle detected on function [g].", "g");
  EXPECT_EQ(report(cycle), "Error.\n Type: Cycle\n Name: g\nCycle detected on function [g].\n\\/\n");

  Diagnostic noName;
  fail(noName, "Comma", "Comma encountered in parenthesization which is not a call list.");
  EXPECT_EQ(report(noName),
            "Error.\n Type: Comma\nComma encountered in parenthesization which is not a call list.\n\\/\n");

  Diagnostic range;
  fail(range, "Range", "The program must return an integer. Instead we encountered:\n");
  EXPECT_EQ(report(range),
            "Error.\n Type: Range\nThe program must return an integer. Instead we encountered:\n\n\\/\n");

  EXPECT_EQ(report(Diagnostic{}), "No errors.\n");
  EXPECT_TRUE(Diagnostic{}.empty());
  Diagnostic almost;
  almost.Type = "Empty ";
  EXPECT_FALSE(almost.empty());
}

TEST(DisplayTest, ClassesAndStandIns) {
  struct {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"plain\ntext", "plain\ntext"},
      {"a\tb", "a\033[32mI\033[mb"},
      {std::string("x\x01", 2), "x\033[32mA\033[m"},
      {std::string("\0", 1), "\033[32mJ\033[m"},
      {"\x1A\x1B\x1C\x1D\x1E\x1F", "\033[32mZ(){}[\033[m"},
      {"\x7F\x97\x9F\xFF", "\033[32m~08]\033[m"},
      {"\xE1\xFE", "\033[31ma~\033[m"},
      {"\xA0", "\033[31m \033[m"},
      {"\xE1\x01q", "\033[31ma\033[32mA\033[mq"},
  };
  for (auto& c : cases) EXPECT_EQ(display(c.in), c.out) << c.in;
}

TEST(EscapeNameTest, BracketsControlsAndHighBytes) {
  EXPECT_EQ(escapeName("a[b]"), "a[5B]b[5D]");
  EXPECT_EQ(escapeName("\xE9"), "[E9]");
  EXPECT_EQ(escapeName(std::string("x\x7F\n\0y", 5)), "x[7F][0A][00]y");
  EXPECT_EQ(escapeName("plain name.vorl"), "plain name.vorl");
}

}  // namespace
}  // namespace driver
