// The editor files highlight exactly the table's built-in names: the Vim syntax file
// and the TextMate grammar each hold them as one pattern of alternatives, written by
// editors/generate.py, so that a row added to the table without regenerating them
// fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "library/builtin_table.h"

namespace library {
namespace {

std::string readSource(const std::string& relative) {
  std::ifstream file(VORL_SOURCE_DIR "/" + relative, std::ios::binary);
  EXPECT_TRUE(file) << relative << " cannot be read";
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The names of `prefix name|name|... suffix`: `separator` between names, and a
// backslash before a character that stands for itself. Nothing when the pattern has
// another shape.
std::optional<std::vector<std::string>> alternatives(std::string_view pattern, std::string_view prefix,
                                                     std::string_view suffix, std::string_view separator) {
  if (!pattern.starts_with(prefix) || !pattern.ends_with(suffix) ||
      pattern.size() < prefix.size() + suffix.size())
    return std::nullopt;
  std::string_view body = pattern.substr(prefix.size(), pattern.size() - prefix.size() - suffix.size());
  std::vector<std::string> names(1);
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body.substr(i).starts_with(separator)) {
      names.emplace_back();
      i += separator.size() - 1;
    } else if (body[i] == '\\' && i + 1 < body.size()) {
      names.back() += body[++i];
    } else {
      names.back() += body[i];
    }
  }
  return names;
}

// Vim: the lines between the BEGIN and END lines, joined where a line begins with a
// backslash (Vim's line continuation), in a very-nomagic pattern.
std::optional<std::vector<std::string>> vimNames(const std::string& text) {
  static constexpr std::string_view kBegin = "\" BEGIN built-in names (editors/generate.py)\n";
  static constexpr std::string_view kEnd = "\" END built-in names\n";
  std::size_t begin = text.find(kBegin), end = text.find(kEnd);
  if (begin == std::string::npos || end == std::string::npos || end < begin) return std::nullopt;
  std::istringstream block(text.substr(begin + kBegin.size(), end - begin - kBegin.size()));
  std::string pattern;
  for (std::string line; std::getline(block, line);) {
    std::size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos && line[first] == '\\') pattern += line.substr(first + 1);
    else
      pattern += (pattern.empty() ? "" : "\n") + line;
  }
  return alternatives(pattern, R"(syn match vorlBuiltin "\%#=1\V\[a-z_]\@1<!\%()", R"(\)\[a-z_]\@!")",
                      R"(\|)");
}

// The JSON string that begins at `at` (just after its opening quote), decoded.
std::string jsonString(std::string_view text, std::size_t at) {
  std::string out;
  for (std::size_t i = at; i < text.size() && text[i] != '"'; ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char c = text[++i];
    if (c == 'u' && i + 4 < text.size()) {
      unsigned code = std::stoul(std::string(text.substr(i + 1, 4)), nullptr, 16);
      i += 4;
      if (code < 0x80) out += char(code);  // the grammar writes other characters as they are
      continue;
    }
    static constexpr std::string_view kFrom = "bfnrt", kTo = "\b\f\n\r\t";
    std::size_t k = kFrom.find(c);
    out += k == std::string_view::npos ? c : kTo[k];
  }
  return out;
}

// TextMate: the "match" of the repository's "builtin" rule, an Oniguruma pattern.
std::optional<std::vector<std::string>> textMateNames(const std::string& text) {
  std::size_t rule = text.find("\"builtin\": {");
  std::size_t match = rule == std::string::npos ? rule : text.find("\"match\": \"", rule);
  if (match == std::string::npos) return std::nullopt;
  std::string pattern = jsonString(text, match + std::string_view("\"match\": \"").size());
  return alternatives(pattern, "(?<![a-z_])(?:", ")(?![a-z_])", "|");
}

TEST(EditorGrammarsTest, PatternsTakeNamesApart) {
  struct {
    const char* pattern;
    const char* separator;
    std::vector<std::string> names;
  } cases[] = {
      {R"(<abs\|a\\b\|c\"d>)", R"(\|)", {"abs", R"(a\b)", "c\"d"}},
      {R"(<a\|b|c\.d\\e>)", "|", {"a|b", "c.d\\e"}},
      {"<one>", "|", {"one"}},
  };
  for (auto& c : cases) EXPECT_EQ(alternatives(c.pattern, "<", ">", c.separator), c.names) << c.pattern;
  EXPECT_EQ(alternatives("<a|b", "<", ">", "|"), std::nullopt);
  EXPECT_EQ(jsonString(R"(a\\b\"c\u0041" tail)", 0), "a\\b\"cA");
}

TEST(EditorGrammarsTest, EditorFilesNameEveryBuiltin) {
  std::vector<std::string> table;
  for (const auto& [name, entry] : builtinTable()) table.push_back(name);
  struct {
    const char* file;
    std::optional<std::vector<std::string>> (*names)(const std::string&);
  } cases[] = {
      {"editors/vim/syntax/vorl.vim", vimNames},
      {"editors/vorl.tmLanguage.json", textMateNames},
  };
  for (auto& c : cases) {
    std::optional<std::vector<std::string>> listed = c.names(readSource(c.file));
    ASSERT_TRUE(listed) << c.file << ": no pattern of built-in names in the shape editors/generate.py writes";
    std::vector<std::string> missing, extra;
    std::set_difference(table.begin(), table.end(), listed->begin(), listed->end(),
                        std::back_inserter(missing));
    std::set_difference(listed->begin(), listed->end(), table.begin(), table.end(),
                        std::back_inserter(extra));
    std::string report;
    for (auto& n : missing) report += " -" + n;
    for (auto& n : extra) report += " +" + n;
    EXPECT_EQ(*listed, table) << c.file << " differs from the built-in table:" << report
                              << "; rewrite it with `cmake --build BUILD --target editor_files`";
  }
}

}  // namespace
}  // namespace library
