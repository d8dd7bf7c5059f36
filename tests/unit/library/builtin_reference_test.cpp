// The built-in reference (docs/builtins.md) and the table list the same names with
// the same arities, so the page cannot drift from the interpreter.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>

#include "library/builtin_table.h"

namespace library {
namespace {

// The rows "| `name` | arity | ..." of the reference, by name; a name listed twice
// is counted in `repeated`.
std::map<std::string, int> referenceRows(int& repeated) {
  std::ifstream page(VORL_SOURCE_DIR "/docs/builtins.md");
  EXPECT_TRUE(page) << "docs/builtins.md cannot be read";
  static const std::regex row(R"(^\| `([a-z_]+)` \| ([0-9]+) \|)");
  std::map<std::string, int> rows;
  repeated = 0;
  std::smatch m;
  for (std::string line; std::getline(page, line);) {
    if (!std::regex_search(line, m, row)) continue;
    if (!rows.emplace(m[1].str(), std::stoi(m[2].str())).second) ++repeated;
  }
  return rows;
}

TEST(BuiltinReferenceTest, ListsEveryRowWithItsArity) {
  int repeated = 0;
  std::map<std::string, int> documented = referenceRows(repeated);
  EXPECT_EQ(repeated, 0);
  std::map<std::string, int> table;
  for (const auto& [name, entry] : builtinTable()) table.emplace(name, entry.arity);
  for (const auto& [name, arity] : table) {
    auto found = documented.find(name);
    if (found == documented.end()) {
      ADD_FAILURE() << name << " is missing from docs/builtins.md";
    } else {
      EXPECT_EQ(found->second, arity) << "arity of " << name;
    }
  }
  for (const auto& [name, arity] : documented)
    EXPECT_TRUE(table.count(name)) << name << " is documented but not a built-in";
}

}  // namespace
}  // namespace library
