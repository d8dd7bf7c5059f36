#include "eval/profile.h"

#include <gtest/gtest.h>

#include <string>

#include "eval/engine.h"
#include "eval/trace.h"

namespace eval {
namespace {

// Steps are charged to the call awaited at the frames' depth; a definition called
// again from inside itself, at any distance, goes back to its own node.
TEST(CallProfileTest, ChargesStepsToTheCallUnderWayAndFoldsRecursion) {
  cells::Handle sortEntry, insertEntry;  // two table entries, told apart by address
  CallProfile p;
  p.start();
  stepCount() += 2;                // the main expression
  p.enter(&sortEntry, "sort", 1);  // main;sort, awaited at depth 1
  stepCount() += 3;
  p.enter(&insertEntry, "insert", 4);  // main;sort;insert
  stepCount() += 10;
  p.enter(&insertEntry, "insert", 4);  // a tail call of itself
  stepCount() += 10;
  p.enter(&sortEntry, "sort", 6);  // sort again, from inside insert: sort's node
  stepCount() += 1;
  p.unwind(5);  // that call has its value: insert runs again
  stepCount() += 4;
  p.unwind(3);  // insert has its value: sort
  stepCount() += 5;
  p.unwind(0);  // the main expression
  stepCount() += 1;
  p.stop();
  EXPECT_EQ(p.folded(), "main 3\nmain;sort 9\nmain;sort;insert 24\n");
  EXPECT_EQ(p.totalSteps(), 36u);
  std::string table = p.table(false);
  EXPECT_NE(table.find("profile: 36 steps, 4 calls of 2 definitions"), std::string::npos) << table;
  // insert's steps with its callees are its own (sort's steps count under sort's
  // node); sort's include insert's.
  EXPECT_NE(table.find("24  66.7%         66.7%      2"), std::string::npos) << table;
  EXPECT_NE(table.find("9  25.0%         91.7%      2"), std::string::npos) << table;
}

// A loop of tail calls through several definitions keeps one record per name, not per call.
TEST(CallProfileTest, TailCallLoopsStayInTheirNodes) {
  cells::Handle a, b;
  CallProfile p;
  p.start();
  for (int i = 0; i < 1000; ++i) {
    p.enter(&a, "even", 2);
    ++stepCount();
    p.enter(&b, "odd", 2);
    ++stepCount();
  }
  p.unwind(1);
  p.stop();
  EXPECT_EQ(p.folded(), "main;even 1000\nmain;even;odd 1000\n");
}

TEST(TraceLineTest, OneLineOfAtMostTheColumnsGiven) {
  struct Case {
    std::string text;
    std::size_t columns;
    std::string shown;
  } cases[] = {
      {"fib 3", 10, "fib 3"},
      {"0123456789", 10, "0123456789"},
      {"0123456789A", 10, "0123456..."},
      {"a\nb\tc\x1b[2J", 10, "a b c [2J"},
      {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 5, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"},
      {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 5, "\xC3\xA9\xC3\xA9..."},
  };
  for (const Case& c : cases) EXPECT_EQ(oneLine(c.text, c.columns), c.shown) << c.text;
}

}  // namespace
}  // namespace eval
