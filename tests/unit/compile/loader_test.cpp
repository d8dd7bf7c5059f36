#include "compile/loader.h"

#include <gtest/gtest.h>

#include "compile/checks.h"
#include "compile/intern.h"
#include "compile/printer.h"
#include "front/definitions.h"
#include "front/prelude.h"
#include "front/reader.h"
#include "library/language.h"
#include "numbers/value_kind.h"
#include "tests/unit/library/call_builtin.h"

namespace compile {
namespace {

using library::testing::atom;
using library::testing::call;
using library::testing::show;

// A running program (main expression and the definition `twice`), compiled, then
// texts loaded beside it through the row `load`.
class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    numbers::installCellSeams();
    installLanguageSeams();
    for (auto c : {cells::Common::Z, cells::Common::I, cells::Common::K, cells::Common::H, cells::Common::V,
                   cells::Common::EmptyList})
      cells::common(c);
    before_ = cells::liveCells();
    front::loadPrelude();
    ASSERT_TRUE(front::readProgram("x\\twice 3,twice\\y\\y+y").empty());
    driver::Diagnostic d;
    checkAndCompile(d);
    ASSERT_TRUE(d.empty());
  }
  void TearDown() override {
    front::clearTables();
    clearInterned();
    library::clearLanguageStores();
    EXPECT_EQ(cells::liveCells(), before_);
  }
  std::string mainText() { return printTerm(front::definitions().at("")); }

 private:
  std::size_t before_ = 0;
};

TEST_F(LoaderTest, LoadsBesideTheRunningProgram) {
  std::string runningMain = mainText();
  std::size_t entries = front::definitions().size();
  cells::Handle value = call("load", {atom("[double 5,double\\n\\twice n]")});
  EXPECT_EQ(printTerm(value), "(double 5)");
  EXPECT_EQ(mainText(), runningMain);
  EXPECT_EQ(front::definitions().size(), entries + 1);
  EXPECT_EQ(printTerm(front::definitions().at("double")), "(\\ a (twice a))");
  // The same text again: the cached value, not a second compilation.
  EXPECT_EQ(call("load", {atom("[double 5,double\\n\\twice n]")}).get(), value.get());
  // Pieces of a list join into one text; an integer is one character.
  cells::Handle pieces = library::testing::num(50);
  cells::Handle l = cells::makePair(atom("V"), library::testing::bytes("twice "),
                                    cells::makePair(atom("V"), pieces, atom("[")));
  EXPECT_EQ(printTerm(call("load", {l})), "(twice 2)");
}

// Each failure gives "Z" and leaves the table as it was.
TEST_F(LoaderTest, DiagnosticsGiveZ) {
  std::string runningMain = mainText();
  std::size_t entries = front::definitions().size();
  const cells::Handle& twice = front::definitions().at("twice");
  cells::Cell* twiceTerm = twice.get();
  for (const char* text : {
           "[nowhere 1]",            // Alive: an undefined name
           "[twice 1,twice\\y\\y]",  // the running program's own definition
           "[1,K\\a\\a]",            // a prelude combinator
           "[1,plus\\a\\a]",         // Built
           "[1,f\\a\\b]",            // Alive in a loaded definition
           "[q]",                    // Match: an unbalanced bracket
           "[1,x\\1]",               // Lower
       }) {
    EXPECT_EQ(show(call("load", {atom(text)})), "Z") << text;
    EXPECT_EQ(mainText(), runningMain) << text;
    EXPECT_EQ(front::definitions().size(), entries) << text;
    EXPECT_EQ(&front::definitions().at("twice"), &twice) << text;  // entries stay in place
    EXPECT_EQ(twice.get(), twiceTerm) << text;
  }
}

}  // namespace
}  // namespace compile
