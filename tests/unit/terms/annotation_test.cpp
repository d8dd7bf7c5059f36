#include "terms/annotation.h"

#include <gtest/gtest.h>

#include "front/definitions.h"
#include "front/lexer.h"
#include "front/parser.h"
#include "front/prelude.h"

namespace terms {
namespace {

cells::Handle parsed(std::string_view text) { return front::parseExpression(front::normaliseSource(text)); }

class AnalysisTest : public ::testing::Test {
 protected:
  void SetUp() override {
    front::loadPrelude();
    front::define("tw", parsed("x\\y\\x"));
    // The reader's placeholder of an arity-0 built-in, and an alias of it.
    front::define("stdout", parsed("Z"));
    front::define("out", parsed("stdout"));
  }
  void TearDown() override { front::clearTables(); }
};

constexpr int kData = 99;  // the "@" marker in the table below

TEST_F(AnalysisTest, AnnotationAndMask) {
  struct {
    const char* term;
    int value;  // kData for "@"
    bool flag;
    uint32_t mask;
  } cases[] = {
      {"12", 1, false, 0},
      {"[ab]", kData, false, 0},
      {"tw", 2, false, 0},
      {"nameless", 1, false, 0},
      {"q", 11, false, 1u << ('q' - 'a')},
      {"[a][b]", kData, false, 0},
      {"tw 1", 1, false, 0},
      {"tw 1 2 3", -1, false, 0},
      {"tw(tw 1 2)", 1, true, 0},
      {"q 1", 11, false, 1u << ('q' - 'a')},
      {"x\\x", 1, false, 0},
      {"(x\\x q)1", 0, false, 1u << ('q' - 'a')},
      {"[a] q", 0, false, 1u << ('q' - 'a')},
      {"[a](tw 1 2)", 0, true, 0},
      {"tw [a]", 1, false, 0},
      {"x{q}x", 0, false, 1u << ('q' - 'a')},
      {"x{1}p x", 0, false, 1u << ('p' - 'a')},
      {"stdout", 0, false, 0},
      {"out", 0, false, 0},
      {"plus", 2, false, 0},
  };
  for (auto& c : cases) {
    cells::Handle t = parsed(c.term);
    annotate(t.get());
    if (c.value == kData) {
      EXPECT_TRUE(cells::isDataMarked(t.get())) << c.term;
    } else {
      EXPECT_EQ(cells::annotationValue(t.get()), c.value) << c.term;
      EXPECT_EQ(cells::annotationFlag(t.get()), c.flag) << c.term;
    }
    EXPECT_EQ(cachedMask(t.get()), c.mask) << c.term;
    EXPECT_EQ(freeLetters(t.get()), c.mask) << c.term;
  }
}

TEST_F(AnalysisTest, DataPairCachesItsLength) {
  cells::Handle t = parsed("[ab][cd]");
  annotate(t.get());
  EXPECT_EQ(cells::lengthCache(t.get()), 8u);
}

// The reader's placeholder of an arity-0 built-in is the atom "Z", which names the
// combinator Z (one argument); the built-in itself needs none, and so does an alias.
TEST_F(AnalysisTest, ArityZeroBuiltinNeedsNoArgument) {
  front::define("time_t", parsed("Z"));
  front::define("now", parsed("time_t"));
  for (const char* name : {"time_t", "now"}) {
    cells::Handle t = parsed(name);
    annotate(t.get());
    EXPECT_EQ(cells::annotationValue(t.get()), 0) << name;
  }
}

TEST_F(AnalysisTest, AnnotationIsKeptOnceComputed) {
  cells::Handle t = parsed("tw 1");
  annotate(t.get());
  front::define("tw", parsed("x\\x"));
  annotate(t.get());
  EXPECT_EQ(cells::annotationValue(t.get()), 1);
}

}  // namespace
}  // namespace terms
