#include "terms/walk.h"

#include <gtest/gtest.h>

#include <string>

namespace terms {
namespace {

// Children before their pair, left before right; a skipped cell hides what is under it.
TEST(WalkTest, ChildrenFirstWithSkip) {
  std::size_t before = cells::liveCells();
  {
    cells::Handle a = cells::makeAtom("a"), b = cells::makeAtom("b"), c = cells::makeAtom("c");
    cells::Handle ab = cells::makePair(a, b), root = cells::makePair(ab, c);
    std::string order;
    auto name = [&](const cells::Cell* x) { return cells::isAtom(x) ? std::string(cells::text(x)) : "."; };
    walkChildrenFirst(
        root.get(), [](const cells::Cell*) { return false; }, [&](cells::Cell* x) { order += name(x); });
    EXPECT_EQ(order, "ab.c.");
    order.clear();
    walkChildrenFirst(
        root.get(), [&](const cells::Cell* x) { return x == ab.get(); },
        [&](cells::Cell* x) { order += name(x); });
    EXPECT_EQ(order, "c.");
  }
  EXPECT_EQ(cells::liveCells(), before);
}

}  // namespace
}  // namespace terms
