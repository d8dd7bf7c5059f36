#include "front/reader.h"

#include <gtest/gtest.h>

#include "front/definitions.h"
#include "front/prelude.h"
#include "tests/unit/front/term_text.h"

namespace front {
namespace {

class ReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { loadPrelude(); }
  void TearDown() override { clearTables(); }
  static std::string entry(const std::string& name) {
    auto found = definitions().find(name);
    return found == definitions().end() ? "<none>" : termText(found->second);
  }
};

TEST_F(ReaderTest, PreludeEntries) {
  EXPECT_EQ(preludeText().size(), 554u);
  clearTables();
  loadPrelude();
  EXPECT_EQ(definitions().size(), 51u);
  EXPECT_EQ(definitions().count(""), 0u);
  for (char c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(definitions().count(std::string(1, c)), 1u) << c;
  for (char c : std::string("\\{&|!+-*/%^<>=#$~.@:?;'\","))
    EXPECT_EQ(definitions().count(std::string(1, c)), 1u) << c;
  EXPECT_EQ(entry("K"), "(\\ a (\\ b a))");
  EXPECT_EQ(entry("+"), "plus");
  EXPECT_EQ(entry("!"), "(V H K)");
  EXPECT_EQ(entry("A"), "(\\ a (a S (B K K)))");
  EXPECT_EQ(entry("|"), "(\\ q (\\ r (q K r)))");
  EXPECT_EQ(entry("\\"), "(\\ a (\\ b (\\ c (A B C D E F G H I J K L M N O P Q R S T U V W X Y Z))))");
}

TEST_F(ReaderTest, MainExpressionAndDefinitions) {
  EXPECT_TRUE(readProgram("main,sq\\x\\x*x").empty());
  EXPECT_EQ(entry(""), "main");
  EXPECT_EQ(entry("sq"), "(\\ x (* x x))");
  EXPECT_EQ(entry("plus"), "(\\ a (\\ b Z))");
  EXPECT_EQ(entry("getchar"), "Z");
  EXPECT_EQ(entry("+"), "plus");
}

TEST_F(ReaderTest, WhiteSpaceOnly) {
  EXPECT_TRUE(readProgram(" \n ").empty());
  EXPECT_EQ(entry(""), "}");
  EXPECT_EQ(definitions().size(), 51u + 223u + 1u);
}

TEST_F(ReaderTest, SkippedItemsAndOperatorRedefinition) {
  EXPECT_TRUE(readProgram("0,[\\]\\1,[{]\\1,1+2,[ab]\\1,g x\\x,[+]\\1").empty());
  EXPECT_EQ(entry("+"), "1");
  EXPECT_EQ(entry("{"), "(\\ a (\\ b (\\ c Z)))");
  EXPECT_EQ(entry("[ab]"), "<none>");
  EXPECT_EQ(definitions().size(), 51u + 223u + 1u);
}

TEST_F(ReaderTest, UnitFormAndLaterPlainForm) {
  EXPECT_TRUE(readProgram("0,gg()\\x").empty());
  EXPECT_EQ(entry("gg"), "(I x)");
  EXPECT_TRUE(isUnitDefinition("gg"));
  loadPrelude();
  EXPECT_TRUE(readProgram("0,gg()\\x,gg\\y").empty());
  EXPECT_EQ(entry("gg"), "y");
  EXPECT_FALSE(isUnitDefinition("gg"));
}

TEST_F(ReaderTest, Errors) {
  struct {
    const char* text;
    const char* type;
    const char* message;
    int64_t position;
  } cases[] = {
      {"0, x\\1", "Lower", "Single lowercase letters (x) cannot be defined as global variables.", 2},
      {"0,plus\\1", "Built", "Built in function [plus] cannot be re-defined.", 2},
      {"0,ok\\1,(]", "Match", "Match[____g]Doesn't fit ']' at [____h].", 7},
  };
  for (auto& c : cases) {
    loadPrelude();
    driver::Diagnostic d = readProgram(c.text);
    EXPECT_EQ(d.Type, c.type) << c.text;
    EXPECT_EQ(d.Message, c.message) << c.text;
    EXPECT_EQ(d.position, c.position) << c.text;
    EXPECT_EQ(d.Name, "");
  }
}

TEST(NamesTest, DefinableAndCanonical) {
  for (const char* yes : {"sq", "_", "a_b", "K", "\x01", "\x7F", "\xE9", "[+]", "[\\]", "[{]", "[,]"})
    EXPECT_TRUE(isDefinableName(yes)) << yes;
  for (const char* no : {"", "[ab]", "Ab", "a1", "1", "[a]", "[(]", "KK"})
    EXPECT_FALSE(isDefinableName(no)) << no;
  EXPECT_EQ(canonicalName("[+]"), "+");
  EXPECT_EQ(canonicalName("[\\]"), "\\");
  EXPECT_EQ(canonicalName("sq"), "sq");
}

}  // namespace
}  // namespace front
