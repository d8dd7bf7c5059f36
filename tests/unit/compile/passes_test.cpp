#include "compile/passes.h"

#include <gtest/gtest.h>

#include "compile/intern.h"
#include "compile/printer.h"
#include "front/definitions.h"
#include "front/lexer.h"
#include "front/parser.h"
#include "front/prelude.h"
#include "terms/annotation.h"
#include "tests/unit/front/term_text.h"

namespace compile {
namespace {

cells::Handle parsed(std::string_view text) { return front::parseExpression(front::normaliseSource(text)); }

TEST(PassesTest, Quote) {
  EXPECT_EQ(front::termText(quotePass(parsed("`(g+1)"))), "(V [(+ g 1)] (+ g 1))");
  EXPECT_EQ(front::termText(quotePass(parsed("h `x"))), "(h (V [x] x))");
}

TEST(PassesTest, PairPattern) {
  struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"(a b){g(1)}a+b", "({ b (g 1) ({ a (b K) ({ b (b H) (+ a b))))"},
      {"(a 1){x}y", "({ (a 1) x y)"},
      {"x{1}x", "({ x 1 x)"},
  };
  for (auto& c : cases) EXPECT_EQ(front::termText(pairPatternPass(parsed(c.in))), c.out) << c.in;
}

TEST(PassesTest, RenameBinders) {
  struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"x\\y\\x*y", "(\\ a (\\ b (* a b)))"},
      {"z\\a z", "(\\ b (a b))"},              // the free a is not captured
      {"sq+(sq\\sq)", "(+ sq (\\ a a))"},      // the free global keeps its name
      {"x{x}y\\x y", "({ a x (\\ b (a b)))"},  // B lies outside its key's scope
  };
  for (auto& c : cases) {
    cells::Handle t = parsed(c.in);
    EXPECT_TRUE(renameBinders(t));
    EXPECT_EQ(front::termText(t), c.out) << c.in;
  }
}

TEST(PassesTest, InternSharesEqualTerms) {
  std::size_t before = cells::liveCells();
  {
    cells::Handle a = intern(parsed("g(h 1)(h 1)"));
    cells::Handle b = intern(parsed("h 1"));
    EXPECT_EQ(cells::rightOf(a.get()), b.get());
    EXPECT_EQ(cells::rightOf(cells::leftOf(a.get())), b.get());
    clearInterned();
  }
  EXPECT_EQ(cells::liveCells(), before);
}

// A million-cell chain, nested to the left and to the right, through every walk.
TEST(PassesTest, MillionDeepTerms) {
  front::loadPrelude();
  front::define("tw", parsed("x\\y\\x"));
  std::size_t before = cells::liveCells();
  {
    const int n = 1'000'000;
    cells::Handle g = cells::makeAtom("tw"), one = cells::makeAtom("1");
    cells::Handle left = g, right = one;
    for (int i = 0; i < n; ++i) {
      left = cells::makePair(left, one);
      right = cells::makePair(g, right);
    }
    for (cells::Handle* t : {&left, &right}) {
      *t = quotePass(pairPatternPass(*t));
      EXPECT_TRUE(renameBinders(*t));
      EXPECT_EQ(terms::freeLetters(t->get()), 0u);
      terms::annotate(t->get());
      EXPECT_EQ(printTerm(*t).size(), t == &left ? 2 * std::size_t(n) + 4 : 5 * std::size_t(n) + 1);
      *t = intern(*t);
    }
    EXPECT_EQ(cells::annotationValue(left.get()), 2 - n < -51 ? -51 : 2 - n);
    clearInterned();
  }
  EXPECT_EQ(cells::liveCells(), before);
  front::clearTables();
}

}  // namespace
}  // namespace compile
