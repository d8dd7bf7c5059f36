#include "eval/machine.h"

#include <gtest/gtest.h>

#include <string>

#include "compile/checks.h"
#include "compile/intern.h"
#include "compile/loader.h"
#include "compile/printer.h"
#include "eval/engine.h"
#include "eval/observe.h"
#include "eval/reference_machine.h"
#include "eval/rewrites.h"
#include "front/definitions.h"
#include "front/prelude.h"
#include "front/reader.h"
#include "library/language.h"
#include "numbers/text_ops.h"
#include "numbers/value_kind.h"

namespace eval {
namespace {

// Each case is a program whose main expression ignores its argument; its value is
// computed by both machines and printed. The two must agree with each other and
// with the expected form, and leave no cell behind.
class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    numbers::installCellSeams();
    compile::installLanguageSeams();
    for (auto c : {cells::Common::Z, cells::Common::I, cells::Common::K, cells::Common::H, cells::Common::V,
                   cells::Common::EmptyList})
      cells::common(c);
    for (auto a : {MachineAtom::B, MachineAtom::T, MachineAtom::J, MachineAtom::Lambda}) machineAtom(a);
  }

  // The printed value of the program's main expression applied to 0.
  static std::string valueOf(const std::string& program, MachineKind machine) {
    front::loadPrelude();
    driver::Diagnostic d = front::readProgram(program);
    EXPECT_TRUE(d.empty()) << program << ": " << d.Message;
    compile::checkAndCompile(d);
    EXPECT_TRUE(d.empty()) << program << ": " << d.Message;
    std::string printed;
    if (d.empty()) {
      cells::Handle term = cells::makePair(front::mainExpression(), cells::numeralFromInt64(0));
      cells::Handle value = machine == MachineKind::fast ? evaluateFast(term) : evaluateReference(term);
      printed = compile::printTerm(value);
    }
    front::clearTables();
    compile::clearInterned();
    library::clearLanguageStores();
    return printed;
  }

  struct Case {
    const char* rule;
    const char* program;
    const char* value;
  };

  void expectBoth(const Case& c) {
    std::size_t before = cells::liveCells();
    EXPECT_EQ(valueOf(c.program, MachineKind::reference), c.value) << c.rule << ": " << c.program;
    EXPECT_EQ(valueOf(c.program, MachineKind::fast), c.value) << c.rule << ": " << c.program;
    EXPECT_EQ(cells::liveCells(), before) << c.rule;
  }
};

// One case a rewrite rule of the machine, and the transitions between them.
TEST_F(MachineTest, RewriteRules) {
  const Case cases[] = {
      {"built-in", "x\\plus 1 2", "3"},
      {"built-in of an operator", "x\\7*6", "42"},
      {"built-in, wrong kind", "x\\plus 1 K", "Z"},
      {"lambda, argument unevaluated", "x\\(y\\5) (putchar 65)", "5"},
      {"lambda", "x\\(y\\y*y) 7", "49"},
      {"strict binding of a value", "x\\y{4}y+y", "8"},
      {"strict binding evaluated first", "x\\y{3*4}y+1", "13"},
      {"defined name", "x\\sq 9,sq\\n\\n*n", "81"},
      {"defined name with a nested call", "x\\sq(sq 2),sq\\n\\n*n", "16"},
      {"unit definition, computed once", "x\\uu+uu,uu()\\3*4", "24"},
      {"unit definition, a lambda kept as a value", "x\\ff 2,ff()\\y\\y+1", "3"},
      {"numeral applied: V s d", "x\\5 K", "K"},
      {"numb applied", "x\\0011 K", "H"},
      {"byte string applied: halves", "x\\init([abc]) K", "cape[ab]"},
      {"byte string applied: the rest", "x\\init([abc]) H", "cape[c]"},
      {"empty byte string applied", "x\\init([]) K", "Z"},
      {"real applied: its sign bit first", "x\\real(2) K K", "I"},
      {"over-application", "x\\I K 1 2", "1"},
      {"over-application of a built-in's result", "x\\(less 1 2) 10 20", "10"},
      {"pending arguments, unevaluated", "x\\K 1 (putchar 65)", "1"},
      {"pending arguments through a false test", "x\\(less 2 1) (putchar 65) 20", "20"},
      {"inner evaluation of a pair's parts", "x\\V (1+2) (3*4)", "(V 3 12)"},
      {"inner evaluation, then a selector", "x\\V (1+2) (3*4) H", "12"},
      {"a partial application as the value", "x\\plus 1", "(plus 1)"},
      {"a lambda as the value", "x\\y\\y+1", "(\\ b (+ b 1))"},
      {"combinators", "x\\S K K 7", "7"},
      {"composition", "x\\B (plus 1) (mult 2) 5", "11"},
      {"an atom that names nothing, applied", "x\\cape([ab]) 1", "Z"},
      {"an atom that only begins like a numeral, applied", "x\\cape([5a]) 1", "Z"},
  };
  for (const Case& c : cases) expectBoth(c);
}

// A pair given a selector is rewritten at once, whatever the pair's and the
// selector's names, as long as their definitions have those shapes.
TEST_F(MachineTest, PairsGivenSelectors) {
  const Case cases[] = {
      {"the first selector", "x\\(V 1 2) K", "1"},
      {"the second selector", "x\\(V 1 2) H", "2"},
      {"a list's second element", "x\\((V 1 (V 2 [])) H) K", "2"},
      {"a selector of the program's own", "x\\(V 1 2) first,first\\a\\b\\a", "1"},
      {"a constant selector of the program's own", "x\\(V 1 2) second,second\\a\\I", "2"},
      {"a constant that is not the identity", "x\\(V 1 2) konst,konst\\a\\K", "(K 2)"},
      {"a pair redefined", "x\\(V 1 2) K,V\\a\\b\\c\\b", "2"},
      {"a pair of the program's own", "x\\(duo 1 2) H,duo\\a\\b\\c\\c a b", "2"},
      {"over-applied after the selection", "x\\(V (plus 1) 2) K 5", "6"},
      {"a selector computed first", "x\\(V 1 2) (I K)", "1"},
  };
  for (const Case& c : cases) expectBoth(c);
}

// A false value given both branches goes on with the second, whatever its
// names, as long as it is a constant whose constant is the identity.
TEST_F(MachineTest, FalseValuesGivenTwoBranches) {
  const Case cases[] = {
      {"a test's second branch", "x\\(1 > 2)(3)(4)", "4"},
      {"a branch computed when taken", "x\\H 3 (4 * 5)", "20"},
      {"a branch under the test's bindings", "x\\next 6,next\\n\\(n < 0)(n)(n + 1)", "7"},
      {"over-applied after the choice", "x\\H 3 (plus 1) 5", "6"},
      {"a false value of the program's own", "x\\no 3 4,no\\a\\I", "4"},
      {"a constant that is not the identity", "x\\konst 3 4,konst\\a\\K", "(K 4)"},
      {"the identity redefined", "x\\H 3 4,I\\a\\7", "7"},
      {"one branch only", "x\\H 3", "I"},
  };
  for (const Case& c : cases) expectBoth(c);
}

// A strict binding whose value is a built-in applied to short integers calls it at
// once; other arguments go through the steps.
TEST_F(MachineTest, BindingsOfBuiltinsOnIntegers) {
  const Case cases[] = {
      {"bound at once", "x\\y{3 + 4}y * 2", "14"},
      {"a negative and a zero", "x\\y{05 - 0}y", "05"},
      {"a built-in of texts", "x\\y{[ab] + [cd]}y", "[abcd]"},
      {"a long number", "x\\y{123456789012345678901234567890 + 1}y", "123456789012345678901234567891"},
      {"in a loop", "x\\loop 5 0,loop\\n\\s\\(n < 1)(s)(m{n - 1}t{s + n}loop m t)", "15"},
      {"a built-in's arguments computed first", "x\\y{(1 + 2) * (3 + 4)}y", "21"},
      {"a text grown in front", "x\\grow 3 [],grow\\n\\s\\(n < 1)(s)(t{zits(n + 64) + s}grow (n - 1) t)",
       "[ABC]"},
      {"a definition's argument computed first", "x\\y{twice (1 + 2)}y,twice\\n\\n + n", "6"},
      {"a text grown in front at once",
       "x\\grow 3 [],grow\\n\\s\\(n < 1)(s)(c{n + 64}t{zits(c) + s}grow (n - 1) t)", "[ABC]"},
  };
  for (const Case& c : cases) expectBoth(c);
}

// A test with both branches, evaluated as soon as it is built (an argument of a
// definition that duplicates it, of a built-in, a strict binding's value), goes on
// as the branch its selector chooses.
TEST_F(MachineTest, TestsOfBoundSelectors) {
  const Case cases[] = {
      {"the first branch", "x\\pick (1 < 2),pick\\s\\twice ((s)(3)(4)),twice\\n\\n + n", "6"},
      {"the second branch", "x\\pick (2 < 1),pick\\s\\twice ((s)(3)(4)),twice\\n\\n + n", "8"},
      {"a test in a branch", "x\\pick (1 < 2) (2 < 1),pick\\s\\u\\twice ((s)((u)(1)(2))(3)),twice\\n\\n + n",
       "4"},
      {"a built-in's arguments", "x\\pick K,pick\\s\\(s)(3)(4) + (s)(5)(6)", "8"},
      {"a strict binding", "x\\pick (2 < 1),pick\\s\\y{(s)(3)(4 + 1)}y * 2", "10"},
      {"a selector of the program's own",
       "x\\pick yes,pick\\s\\twice ((s)(3)(4)),twice\\n\\n + n,yes\\a\\b\\a", "6"},
      {"a test that is no selector", "x\\pick [ab],pick\\s\\twice ((s)(3)(4)),twice\\n\\n + n", "Z"},
  };
  for (const Case& c : cases) expectBoth(c);
}

// A selector is read once and kept; it is read again when its definition's term is
// replaced, or the term of the identity that its constant names.
TEST_F(MachineTest, SelectorsReadAgainWhenTheirTermsAreReplaced) {
  std::size_t before = cells::liveCells();
  front::loadPrelude();
  driver::Diagnostic d = front::readProgram("x\\pick K,pick\\s\\y{(s)(3)(4)}y * 2");
  ASSERT_TRUE(d.empty()) << d.Message;
  compile::checkAndCompile(d);
  ASSERT_TRUE(d.empty()) << d.Message;
  auto run = [](MachineKind machine) {
    cells::Handle term = cells::makePair(front::mainExpression(), cells::numeralFromInt64(0));
    return compile::printTerm(machine == MachineKind::fast ? evaluateFast(term) : evaluateReference(term));
  };
  auto& table = front::definitions();
  cells::Handle first = table["K"];
  EXPECT_EQ(run(MachineKind::fast), "6");
  table["K"] = table["H"];  // the same names, the same table: a term replaced
  EXPECT_EQ(run(MachineKind::fast), "8");
  table["I"] = first;  // K 3 4 => I 4, which is no longer the identity
  EXPECT_EQ(run(MachineKind::fast), run(MachineKind::reference));
  EXPECT_NE(run(MachineKind::fast), "8");
  first = cells::Handle();
  front::clearTables();
  compile::clearInterned();
  library::clearLanguageStores();
  EXPECT_EQ(cells::liveCells(), before);
}

// A test of a pure built-in given values, where the reduct's evaluation begins
// with it, is decided at once.
TEST_F(MachineTest, TestsOfBuiltinsOnIntegers) {
  const Case cases[] = {
      {"nested tests", "x\\sign 05,sign\\n\\(n < 0)(0 - 1)((n = 0)(0)(1))", "01"},
      {"a strict binding's test", "x\\pick 3,pick\\n\\y{(n < 5)(n * 2)(n)}y + 1", "7"},
      {"a value that chooses nothing", "x\\pick 2,pick\\n\\(n + 1)(5)(6)", "(J K (J K (J K K)))"},
      {"a long integer goes through the steps",
       "x\\pick 123456789012345678901234567890,pick\\n\\(n > 5)(1)(2)", "1"},
      {"a loop", "x\\down 100000,down\\n\\(n < 1)(7)(down (n - 1))", "7"},
      {"pairs' parts", "x\\least (V 3 1) (V 2 0),least\\a\\b\\(a K < b K)(a K)(b K)", "2"},
      {"any values", "x\\size (V 1 (V 2 [])),size\\l\\(leaf l)(0)(1 + (size (l H)))", "2"},
      {"a text", "x\\pick (V [ab] 1),pick\\p\\(p K = [ab])(5)(6)", "5"},
      {"at least, equal", "x\\pick 4 4,pick\\a\\b\\(a > b)(1)(2)", "1"},
      {"at least, below", "x\\pick 3 4,pick\\a\\b\\(a > b)(1)(2)", "2"},
      {"differ", "x\\pick 3 4,pick\\a\\b\\(a # b)(1)(2)", "1"},
      {"negative numbers", "x\\pick 05 03,pick\\a\\b\\(a < b)(1)(2)", "1"},
      {"the very same text", "x\\pick [ab],pick\\t\\(t = t)(1)(2)", "1"},
      {"kinds that differ", "x\\pick [ab],pick\\t\\(t < 5)(1)(2)", "2"},
  };
  for (const Case& c : cases) expectBoth(c);
}

// A definition given only values is called at once, whatever its name; the
// argument that would be evaluated first is, where that can have no effect.
TEST_F(MachineTest, ArgumentsAtOnce) {
  const Case cases[] = {
      {"built-ins on integers", "x\\count 5 0,count\\n\\s\\(n < 1)(s)(count (n - 1) (s + n))", "15"},
      {"a pair's parts",
       "x\\sum (V 1 (V 2 (V 3 []))),sum\\l\\(leaf l)(0)(add (l K) (sum (l H))),add\\a\\b\\a + b", "6"},
      {"a part that is not yet a value", "x\\first (V (1 + 2) 5),first\\p\\twice (p K),twice\\n\\n + n", "6"},
      {"a selector bound to a letter", "x\\pick (V 3 4) H,pick\\p\\s\\twice (p s),twice\\n\\n + n", "8"},
      {"a pair of the program's own",
       "x\\pick (duo 3 4),pick\\p\\twice (p H),twice\\n\\n + n,duo\\a\\b\\c\\c a b", "8"},
      {"a built argument", "x\\twice (1 + 2),twice\\n\\n + n", "6"},
      {"a built pair's part", "x\\twice ((V 3 4) H),twice\\n\\n + n", "8"},
      {"a built argument of a long number", "x\\twice (123456789012345678901234567890 + 1),twice\\n\\n + n",
       "246913578024691357802469135782"},
      {"after an argument that is not a value",
       "x\\both 2 4,both\\a\\b\\joined (twice a) (b - 1),joined\\u\\v\\u * 10 + v,twice\\n\\n + n", "43"},
  };
  for (const Case& c : cases) expectBoth(c);
}

// The rewrites made at once count the steps they save: the observing machine,
// which takes some of them one by one, counts the same.
TEST_F(MachineTest, RewritesAtOnceCountTheirSteps) {
  const char* programs[] = {
      "x\\len (V 1 (V 2 (V 3 []))),len\\l\\(leaf l)(0)(1 + (len (l H)))",
      "x\\down 5,down\\n\\(n < 1)(3)(down (n - 1))",
      "x\\loop 5 0,loop\\n\\s\\(n < 1)(s)(m{n - 1}t{s + n}loop m t)",
      "x\\pick (2 < 1),pick\\s\\twice ((s)(3)(4)),twice\\n\\n + n",
      "x\\sum (V 1 (V 2 (V 3 []))),sum\\l\\(leaf l)(0)(add (l K) (sum (l H))),add\\a\\b\\a + b",
  };
  for (const char* program : programs) {
    unsigned long long before = stepCount();
    std::string value = valueOf(program, MachineKind::fast);
    unsigned long long plain = stepCount() - before;
    observation().maxSteps = 1ull << 60;  // any observation takes the observing machine
    before = stepCount();
    EXPECT_EQ(valueOf(program, MachineKind::fast), value);
    observation().maxSteps = 0;
    EXPECT_EQ(stepCount() - before, plain) << program;
  }
}

// A step budget bounds the rewrites made at once too: a loop of calls made at once,
// without end, stops at the budget, not a thousand times later.
TEST_F(MachineTest, StepBudgetBoundsRewritesAtOnce) {
  stepBudget() = 10000;
  budgetReached() = false;
  unsigned long long before = stepCount();
  EXPECT_EQ(valueOf("x\\loop 1,loop\\n\\loop (n + 1)", MachineKind::fast), "Z");
  EXPECT_TRUE(budgetReached());
  EXPECT_LT(stepCount() - before, 20000u);
  budgetReached() = false;
  EXPECT_EQ(valueOf("x\\loop 1,loop\\n\\(n < 100)(loop (n + 1))(n)", MachineKind::fast), "100");
  EXPECT_FALSE(budgetReached());
  stepBudget() = 0;
}

// Substitution shares what it does not change and stops at a binder of the same
// place; both machines give the same cells to `raws`.
TEST_F(MachineTest, SubstitutionAndSharing) {
  const Case cases[] = {
      {"a value substituted twice is one cell", "x\\(y\\raws y y) (V 1 2)", "K"},
      {"an unchanged sub-term is shared", "x\\twice [abc],twice\\t\\raws t t", "K"},
      {"separate results are separate cells", "x\\raws (1+1) (1+1)", "H"},
      {"the inner binder of a value keeps its own place", "x\\apply (y\\y*2) 5,apply\\f\\v\\f v", "10"},
      {"a lambda returned keeps its free value", "x\\(adder 3) 4,adder\\n\\y\\n+y", "7"},
  };
  for (const Case& c : cases) expectBoth(c);
}

// Names resolve to their definitions, aliases through to their targets, and a
// million-deep recursion runs.
TEST_F(MachineTest, ResolutionAndDepth) {
  const Case cases[] = {
      {"an alias resolves to its target", "x\\add 2 3,add\\plus", "5"},
      {"a chain of aliases", "x\\a_ 2 3,a_\\b_,b_\\plus", "5"},
      {"deep recursion", "x\\count 1000000,count\\n\\(n<1)(0)(1+count(n-1))", "1000000"},
  };
  for (const Case& c : cases) expectBoth(c);
}

// A loop that joins onto a text only it holds grows the text in place on both
// machines: neither keeps a stray reference to the text or to the application.
TEST_F(MachineTest, JoinsOntoAnAccumulatorGrowInPlace) {
  const char* programs[] = {
      "x\\rank(build 2000 []),build\\i\\s\\(i<1)(s)(t{s+[ab]}build (i-1) t)",
      "x\\rank(build 4000 []),build\\i\\s\\(i<1)(s)(c{i % 26 + 97}t{s+zits(c)}build (i-1) t)",
  };
  for (const char* program : programs)
    for (MachineKind machine : {MachineKind::reference, MachineKind::fast}) {
      unsigned long long before = numbers::joinsInPlace();
      EXPECT_EQ(valueOf(program, machine), "4000") << program;
      EXPECT_GT(numbers::joinsInPlace() - before, 1900u)
          << (machine == MachineKind::fast ? "fast" : "reference") << ": " << program;
    }
}

}  // namespace
}  // namespace eval
