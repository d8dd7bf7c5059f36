#include "eval/engine.h"

#include <gtest/gtest.h>

#include <string>

namespace eval {
namespace {

// The head of a saturated application is classified by its atom alone; an atom that
// only begins like a numeral names nothing, like any other unknown atom.
TEST(EngineTest, ClassifyHead) {
  struct {
    std::string text;
    HeadKind kind;
  } cases[] = {
      {"5", HeadKind::numeral},
      {"05", HeadKind::numeral},
      {"007", HeadKind::numeral},
      {"12345678901234567890", HeadKind::numeral},
      {"5a", HeadKind::defined},
      {"1,", HeadKind::defined},
      {"12345678901234567890x", HeadKind::defined},
      {"(b)xy", HeadKind::byteString},
      {std::string(" ") + std::string(8, '\x01'), HeadKind::real},
      {")f", HeadKind::update},
      {"{", HeadKind::strictBinding},
      {"\\", HeadKind::lambda},
      {"plus", HeadKind::builtin},
      {"sq", HeadKind::defined},
  };
  for (auto& c : cases) EXPECT_EQ(classifyHead(cells::makeAtom(c.text).get()), c.kind) << c.text;
}

}  // namespace
}  // namespace eval
