#include "front/lexer.h"

#include <gtest/gtest.h>

namespace front {
namespace {

TEST(NormaliseSourceTest, Examples) {
  struct {
    std::string in, out;
  } cases[] = {
      {"  \n \n ", ""},     {"a  \n  b", "a\nb"},     {"a   b", "a b"},       {"a \n + b", "a+b"},
      {"[a  b]", "[a  b]"}, {" [[x] y] ", "[[x] y]"}, {"(x) (y)", "(x) (y)"}, {"{x} {y}", "{x}{y}"},
      {"g x", "g x"},       {"g (x)", "g (x)"},       {"{ x }", "{x}"},       {"a\tb", "a\tb"},
      {"a\r\nb", "a\r\nb"}, {"x\n g\n h", "x\ng\nh"},
  };
  for (auto& c : cases) EXPECT_EQ(normaliseSource(c.in), c.out) << c.in;
}

TEST(ScannerTest, PartnersAndTopLevelSeparators) {
  Scanner s("a(b,[c)]{d,e}),f");
  EXPECT_EQ(s.matchingBracket(1), 13u);
  EXPECT_EQ(s.matchingBracket(13), 1u);
  EXPECT_EQ(s.matchingBracket(4), 7u);  // the ")" inside the square group does not count
  EXPECT_EQ(s.matchingBracket(8), 12u);
  EXPECT_EQ(s.matchingBracket(0), 0u);
  EXPECT_EQ(s.topLevelSeparators(0, s.text().size(), ","), std::vector<std::size_t>{14});
  EXPECT_EQ(s.topLevelSeparators(2, 13, ",{"), (std::vector<std::size_t>{3, 8}));
}

TEST(CharacterClassTest, OperatorsAndDelimiters) {
  for (char c : std::string("\n #%&'*+,-./:;<=>?@\\^|")) EXPECT_TRUE(isOperatorChar(c)) << c;
  for (char c : std::string("~!\"$`a(){}[]\t")) EXPECT_FALSE(isOperatorChar(c)) << c;
  EXPECT_FALSE(isOperatorChar('\0'));
  EXPECT_TRUE(isDelimiter('~'));
  EXPECT_FALSE(isDelimiter('A'));
  EXPECT_EQ(bracketKindName('}'), "wing");
}

}  // namespace
}  // namespace front
