#include "front/parser.h"

#include <gtest/gtest.h>

#include "cells/deep_stack.h"
#include "front/lexer.h"
#include "tests/unit/front/term_text.h"

namespace front {
namespace {

std::string parsed(std::string_view text) { return termText(parseExpression(normaliseSource(text))); }

TEST(ParseExpressionTest, Levels) {
  struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"a+b*c", "(+ a (* b c))"},
      {"a-b-c", "(- (- a b) c)"},
      {"a^b^c", "(^ a (^ b c))"},
      {"a=b=c", "(= a (= b c))"},
      {"g x y", "(g x y)"},
      {"g x+y", "(g (+ x y))"},
      {"a<b c", "(< a (b c))"},
      {"x\\y\\z", "(\\ x (\\ y z))"},
      {"p;q;r", "(; p (; q r))"},
      {"a?b?c", "(? (? a b) c)"},
      {"a@b", "(@ a b)"},
      {"", "}"},
      {"[hello  world]", "[hello  world]"},
      {"(a)(b,c)", "(a b c)"},
      {"x\ng\nh", "(h (g x))"},
      {"a&b|c", "(& a (| b c))"},
      {"-5", "(- } 5)"},
      {"g()", "(g })"},
      {"g(x,y)", "(g x y)"},
      {"BKK", "(B K K)"},
      {"Ya", "(Y a)"},
      {"b(c)", "(b c)"},
      {"x1", "(x 1)"},
      {"x!~", "(~ (! x))"},
      {"!!x", "(! (! x))"},
      {"g~x", "(g (~ x))"},
      {"a$b!c", "(a ($ b) (! c))"},
      {"x{y}z", "({ x y z)"},
      {"x{a,b,c}z", "({ x (, a (, b c)) z)"},
      {"sq\\y\\y*y", "(\\ sq (\\ y (* y y)))"},
      {"x\\sq 7", "(\\ x (sq 7))"},
      {"(a b){g(1)}a+b", "({ (a b) (g 1) (+ a b))"},
      {"`g+1", "(+ (` g) 1)"},
      {"`(g+1)", "(` (+ g 1))"},
      {"a:b.c", "(. (: a b) c)"},
      {"g~Ab", "(g (~ (A b)))"},
      {",,", ",,"},
      {std::string_view("\0", 1).data(), "}"},
  };
  for (auto& c : cases) EXPECT_EQ(parsed(c.in), c.out) << c.in;
  EXPECT_EQ(parsed(std::string_view("g\0", 2)), "(g \n)");
}

TEST(ParseExpressionTest, DeepNestingAndLongChains) {
  std::size_t before = cells::liveCells();
  {
    const int n = 100'000;
    std::string nested = std::string(n, '(') + "x" + std::string(n, ')');
    std::string result;
    cells::runOnDeepStack([&] { return result = parsed(nested), 0; });
    EXPECT_EQ(result, "x");
    std::string chain = "1";
    for (int i = 0; i < n; ++i) chain += "+1";
    cells::Handle sum = parseExpression(chain);
    EXPECT_TRUE(sum.isPair());
    std::string power = "2";
    for (int i = 0; i < n; ++i) power += "^2";
    EXPECT_TRUE(parseExpression(power).isPair());
  }
  EXPECT_EQ(cells::liveCells(), before);
}

}  // namespace
}  // namespace front
