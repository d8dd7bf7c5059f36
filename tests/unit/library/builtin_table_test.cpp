#include "library/builtin_table.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "library/adapt.h"

namespace library {
namespace {

TEST(BuiltinTableTest, RowsInBytewiseOrder) {
  const BuiltinTable& table = builtinTable();
  EXPECT_EQ(table.size(), 223u);
  EXPECT_EQ(&table, &builtinTable());
  std::vector<std::string> names;
  for (auto& [name, entry] : table) names.push_back(name);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
  auto at = [&](const char* n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
  EXPECT_LT(at("fd_set"), at("fdopen"));
  EXPECT_EQ(names.front(), "abort");
  EXPECT_EQ(names.back(), "zits");
}

TEST(BuiltinTableTest, ArityAndLookup) {
  struct {
    const char* name;
    int arity;
  } cases[] = {{"plus", 2},    {"getnameinfo", 7}, {"getchar", 0}, {"strtol", 3},
               {"strtoul", 3}, {"fd_set", 2},      {"cork", 3},    {"fread", 4}};
  for (auto& c : cases) {
    const BuiltinEntry* e = findBuiltin(c.name);
    ASSERT_NE(e, nullptr) << c.name;
    EXPECT_EQ(e->arity, c.arity) << c.name;
  }
  EXPECT_EQ(findBuiltin("Strlen"), nullptr);
  EXPECT_EQ(findBuiltin(""), nullptr);
}

// Every row has an implementation of its own, except the two constants that share
// one (both give 1).
TEST(BuiltinTableTest, EachRowHasItsOwnImplementation) {
  std::map<BuiltinFn, std::vector<std::string>> byImpl;
  for (auto& [name, entry] : builtinTable()) byImpl[entry.impl].push_back(name);
  for (auto& [impl, names] : byImpl) {
    if (names.size() == 1) continue;
    EXPECT_EQ(names, (std::vector<std::string>{"ai_passive", "sock_stream"}));
  }
  EXPECT_EQ(byImpl.size(), 222u);
}

// ---- The adaptor, on wrappers of its own ----

static Num addImpl(Int a, Int b) { return Num{a.value + b.value}; }
static Num firstByteImpl(Text t) { return Num{static_cast<unsigned char>(t.chars[0])}; }
static Truth negativeImpl(Real r) { return Truth{r.value < 0}; }
static Void nothingImpl() { return Void{}; }

TEST(AdaptTest, FetchesArgumentsAndAnswersWrongKindsWithZ) {
  numbers::installCellSeams();
  cells::common(cells::Common::Z);  // the shared atoms live for the whole process
  std::size_t before = cells::liveCells();
  {
    auto apply = [](const char* f, std::vector<Handle> args) {
      Handle app = cells::makeAtom(f);
      for (Handle& a : args) app = cells::makePair(std::move(app), std::move(a));
      return app;
    };
    auto add = row<addImpl>("add");
    EXPECT_EQ(add.second.arity, 2);
    auto call = [&](auto& r, std::vector<Handle> args) {
      Handle app = apply(r.first.c_str(), std::move(args));
      return std::string(r.second.impl(app.get()).text());
    };
    EXPECT_EQ(call(add, {cells::makeAtom("40"), cells::makeAtom("02")}), "38");
    EXPECT_EQ(call(add, {cells::makeAtom("[x]"), cells::makeAtom("2")}), "Z");
    EXPECT_EQ(call(add, {cells::makeAtom("1"), cells::makeAtom("00")}), "Z");

    auto first = row<firstByteImpl>("first");
    EXPECT_EQ(call(first, {cells::makeAtom("[a]")}), "91");
    EXPECT_EQ(call(first, {cells::makeAtom("(a)A")}), "65");
    EXPECT_EQ(call(first, {cells::makeAtom("V")}), "Z");

    auto negative = row<negativeImpl>("negative");
    EXPECT_EQ(call(negative, {numbers::realFromDouble(-2.5)}), "K");
    EXPECT_EQ(call(negative, {cells::makeAtom("05")}), "Z");

    auto nothing = row<nothingImpl>("nothing");
    EXPECT_EQ(nothing.second.arity, 0);
    EXPECT_EQ(call(nothing, {}), "I");
  }
  EXPECT_EQ(cells::liveCells(), before);
}

}  // namespace
}  // namespace library
