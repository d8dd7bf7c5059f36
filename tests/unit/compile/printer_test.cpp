#include "compile/printer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "front/lexer.h"
#include "front/parser.h"
#include "tests/unit/front/term_text.h"

namespace compile {
namespace {

cells::Handle parsed(std::string_view text) { return front::parseExpression(front::normaliseSource(text)); }

cells::Handle realAtom(double value) {
  char bytes[9] = {' '};
  std::memcpy(bytes + 1, &value, sizeof value);
  return cells::makeAtom(std::string_view(bytes, 9));
}

TEST(PrintTermTest, Atoms) {
  EXPECT_EQ(printTerm(cells::makeAtom("")), "()");
  EXPECT_EQ(printTerm(cells::makeAtom(")")), "()");
  EXPECT_EQ(printTerm(cells::makeAtom("]x")), "()");
  EXPECT_EQ(printTerm(realAtom(1.5)), "real[1.500000e+00]");
  EXPECT_EQ(printTerm(cells::makeAtom("(d)a\n[]")), "cape[a[p][q][r]]");
  EXPECT_EQ(printTerm(cells::makeAtom("sq")), "sq");
}

TEST(PrintTermTest, Pairs) {
  struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"g a b", "(g a b)"}, {"g[x y]", "g[x y]"}, {"g[x] y", "(g[x] y)"}, {"g(h x)", "(g (h x))"},
      {"a_ b", "(a_ b)"},   {"x 1", "(x 1)"},     {"[a][b]", "[a][b]"},   {"g a [b]", "(g a [b])"},
  };
  for (auto& c : cases) EXPECT_EQ(printTerm(parsed(c.in)), c.out) << c.in;
}

// A pair shared sixty levels deep stands for 2^60 leaves: printing stops at the bound.
TEST(PrintTermTest, SharedGraphsStopAtTheBound) {
  cells::Handle t = cells::makeAtom("ab");
  for (int i = 0; i < 60; ++i) t = cells::makePair(cells::makePair(cells::makeAtom("V"), t), t);
  std::string printed = printTerm(t.get(), 1000);
  EXPECT_GT(printed.size(), 1000u);
  EXPECT_LT(printed.size(), 1100u);
  EXPECT_EQ(printed.substr(0, 12), "(V (V (V (V ");
  EXPECT_EQ(printed.substr(printed.size() - 3), "...");
}

// Random terms of names, numerals, text literals and capitals read back equal.
TEST(PrintTermTest, RoundTrip) {
  const char* atoms[] = {"ab", "q", "12", "[t  u]", "K", "_z", "a_", "0", "[[x]]"};
  std::mt19937 random(7);
  for (int round = 0; round < 500; ++round) {
    std::vector<cells::Handle> pool;
    for (int i = 0; i < 12; ++i) {
      if (pool.size() < 2 || random() % 3 == 0) {
        pool.push_back(cells::makeAtom(atoms[random() % std::size(atoms)]));
      } else {
        pool.push_back(cells::makePair(pool[random() % pool.size()], pool[random() % pool.size()]));
      }
    }
    const cells::Handle& term = pool.back();
    std::string text = printTerm(term);
    EXPECT_EQ(front::termText(parsed(text)), front::termText(term)) << text;
  }
}

}  // namespace
}  // namespace compile
