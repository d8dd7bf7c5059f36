// Hints after reports: where in the file, what is probably wrong, what was meant.
#include "driver/hints.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "cells/cell.h"
#include "eval/z_origin.h"
#include "front/definitions.h"
#include "front/lexer.h"
#include "front/source_map.h"

namespace driver {

namespace {

using front::SourceItem;
using front::SourceMap;

std::string hint(std::string_view text) { return "hint: " + std::string(text) + "\n"; }

std::string lineAndColumn(const front::FilePlace& p) {
  return "line " + std::to_string(p.line) + ", column " + std::to_string(p.column);
}

std::string quoted(std::string_view name) { return "`" + std::string(name) + "`"; }

std::string definitionWords(std::string_view name) {
  return name.empty() ? "the main expression" : "the definition of " + quoted(name);
}

// A byte of the source line as the hint shows it: controls other than a tab as "?".
char shown(char c) {
  auto b = static_cast<unsigned char>(c);
  return (b < 0x20 && c != '\t') || b == 0x7F ? '?' : c;
}

// The source line that holds `offset` and a caret under it; a long line is cut to a
// window around the place.
std::string showPlace(const SourceMap& map, std::size_t offset) {
  constexpr std::size_t kWidth = 100;
  front::FilePlace p = map.place(offset);
  std::string_view text = map.lineAt(offset);
  std::size_t column = p.column - 1;
  std::size_t from = text.size() > kWidth && column > kWidth / 2 ? column - kWidth / 2 : 0;
  std::string source = from ? "..." : "";
  std::string caret(source.size(), ' ');
  for (std::size_t i = from; i < text.size() && i < from + kWidth; ++i) source += shown(text[i]);
  if (from + kWidth < text.size()) source += "...";
  for (std::size_t i = from; i < column && i < text.size(); ++i) caret += text[i] == '\t' ? '\t' : ' ';
  return hint("  " + source) + hint("  " + caret + "^");
}

// "at line 3, column 5:" and the place shown.
std::string at(const SourceMap& map, std::size_t offset, std::string_view what) {
  return hint(std::string(what) + " at " + lineAndColumn(map.place(offset)) + ":") + showPlace(map, offset);
}

std::string_view itemText(const SourceMap& map, const SourceItem& item) {
  return std::string_view(map.normalised()).substr(item.begin, item.end - item.begin);
}

// The first place of `name` in an item, as a whole word outside texts.
std::optional<std::size_t> findWord(const SourceMap& map, const SourceItem& item, std::string_view name) {
  const std::string& s = map.normalised();
  auto isWordByte = [&](std::size_t i) { return front::isNameChar(static_cast<unsigned char>(s[i])); };
  bool wordName = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return front::isNameChar(static_cast<unsigned char>(c));
  });
  int depth = 0;
  for (std::size_t i = item.begin; i < item.end; ++i) {
    if (s[i] == '[') ++depth;
    if (s[i] == ']' && depth > 0) --depth;
    if (depth > 0 || s.compare(i, name.size(), name) != 0) continue;
    if (wordName && ((i > item.begin && isWordByte(i - 1)) ||
                     (i + name.size() < s.size() && isWordByte(i + name.size()))))
      continue;
    return i;
  }
  return std::nullopt;
}

// A "#" or "--" where another language's remark begins (at a line's start or after a
// comma, then a space), outside texts: the language has no comments.
std::optional<std::size_t> remarkLike(std::string_view file) {
  int depth = 0;
  bool lineStart = true;
  for (std::size_t i = 0; i < file.size(); ++i) {
    char c = file[i];
    if (c == '[') ++depth;
    if (c == ']' && depth > 0) --depth;
    if (depth == 0 && lineStart) {
      bool spaced = i + 1 < file.size() && (file[i + 1] == ' ' || file[i + 1] == '\t');
      if (c == '#' && spaced) return i;
      if (c == '-' && i + 2 < file.size() && file[i + 1] == '-' &&
          (file[i + 2] == ' ' || file[i + 2] == '\t'))
        return i;
    }
    if (c == '\n' || c == ',') lineStart = true;
    else if (c != ' ' && c != '\t')
      lineStart = false;
  }
  return std::nullopt;
}

// The name a line of the file begins with as a definition does (`name\`, after
// spaces), or empty.
std::string_view definitionHeadAt(std::string_view file, std::size_t lineStart) {
  std::size_t j = lineStart;
  while (j < file.size() && (file[j] == ' ' || file[j] == '\t')) ++j;
  std::size_t k = j;
  while (k < file.size() && front::isNameChar(static_cast<unsigned char>(file[k]))) ++k;
  return k - j >= 2 && k < file.size() && file[k] == '\\' ? file.substr(j, k - j) : std::string_view();
}

// The first line starting in [begin, end) that begins like a definition (of `name`,
// when given): where its name starts.
std::optional<std::size_t> lineLikeDefinition(std::string_view file, std::size_t begin, std::size_t end,
                                              std::string_view name = {}) {
  for (std::size_t i = begin; i < end && i < file.size();) {
    std::string_view head = definitionHeadAt(file, i);
    if (!head.empty() && (name.empty() || head == name)) return std::size_t(head.data() - file.data());
    std::size_t next = file.find('\n', i);
    if (next == std::string_view::npos) break;
    i = next + 1;
  }
  return std::nullopt;
}

// Within an item, a later line that begins like a definition: the comma before it
// is probably missing, so that it was read as part of this item.
std::optional<std::size_t> missingComma(const SourceMap& map, const SourceItem& item) {
  std::size_t begin = map.fileOffset(item.begin), end = map.fileOffset(item.end == 0 ? 0 : item.end - 1);
  std::size_t firstBreak = map.file().find('\n', begin);
  if (firstBreak == std::string_view::npos) return std::nullopt;
  return lineLikeDefinition(map.file(), firstBreak + 1, end + 1);
}

// A line of the file that begins with `name\`, as a definition of `name` does.
std::optional<std::size_t> writtenAsDefinition(std::string_view file, std::string_view name) {
  return lineLikeDefinition(file, 0, file.size(), name);
}

std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string bracketHints(const Diagnostic& d, const SourceMap& map) {
  auto offset = std::size_t(d.position);
  std::string code = d.Message.substr(d.Type.size() + 1, 5);
  std::string out = hint("[" + code + "] is byte " + std::to_string(offset) +
                         " of the file: " + lineAndColumn(map.place(offset))) +
                    showPlace(map, offset);
  if (d.Message.find("Right dangling") != std::string::npos) {
    out += hint("this bracket is never closed; the brackets after it may be balanced among themselves");
  } else if (d.Message.find("Left dangling") != std::string::npos) {
    out += hint("this closing bracket has no opening one before it");
  } else if (std::size_t fit = d.Message.find("at ["); fit != std::string::npos) {
    int64_t closing = 0;
    for (std::size_t i = fit + 4; i < fit + 9 && i < d.Message.size(); ++i)
      closing = closing * 64 + std::max(0, cells::digitValue(static_cast<unsigned char>(d.Message[i])));
    out += hint("this bracket is closed by one of another kind:");
    out += at(map, std::size_t(closing), "byte " + std::to_string(closing) + ", the closing one,");
  } else if (d.Type == "Comma") {
    out += hint("a list of arguments follows its function directly, as in g(1,2); (1,2) alone is no value");
  } else {
    out += hint("brackets nest too deeply here");
  }
  return out;
}

// The report of a name that nothing defines is "}" when the parser found a part
// missing: say which, in a user's words.
std::string missingPartHint(const SourceMap& map, const SourceItem* item) {
  if (map.normalised().empty())
    return hint(
        "the program is empty: it needs a main expression, such as x\\0 (a function of the argument vector)");
  if (!item) return {};
  std::string_view text = itemText(map, *item);
  std::size_t last = map.fileOffset(item->end == 0 ? 0 : item->end - 1);
  if (text.ends_with("\\"))
    return at(map, last, "a lambda without a body") +
           hint("write the expression the function gives after its last `\\`, as in n\\n+1");
  if (text.ends_with("}"))
    return at(map, last, "a binding without a body") +
           hint("after name{value} comes the expression that uses the name, as in n{5}n*n");
  for (std::size_t i = 0; i + 2 < text.size(); ++i)
    if ((text[i] == '\\' || text[i] == '(' || text[i] == '{') && text[i + 1] == '-' &&
        front::isDigit(text[i + 2]))
      return at(map, map.fileOffset(item->begin + i + 1), "a minus sign with nothing before it") +
             hint("a negative number is written with a leading 0: 05 is minus five (or write 0-5)");
  return hint("a part of " + definitionWords(item->name) +
              " is missing: an operator, `\\` or binding has nothing after it");
}

std::string aliveHints(const Diagnostic& d, const SourceMap& map) {
  const SourceItem* item = d.definition ? map.item(*d.definition) : nullptr;
  if (d.Name == "}") return missingPartHint(map, item);
  std::string out;
  if (item) {
    if (std::optional<std::size_t> used = findWord(map, *item, d.Name))
      out += at(map, map.fileOffset(*used), quoted(d.Name) + " is used in " + definitionWords(item->name));
  }
  if (std::optional<std::size_t> written = writtenAsDefinition(map.file(), d.Name)) {
    out += at(map, *written, quoted(d.Name) + " is written as a definition");
    out += hint(
        "but it is read as part of the item before it: a comma may be missing before it, or a remark "
        "swallowed it");
  } else if (std::string near = nearestNames(d.Name); !near.empty()) {
    out += hint("did you mean " + near + "?");
  } else {
    out += hint("define " + quoted(d.Name) + " (name\\parameter\\body, after a comma) or check its spelling");
  }
  return out;
}

std::string definitionStart(const SourceMap& map, const Diagnostic& d) {
  const SourceItem* item = d.definition ? map.item(*d.definition) : nullptr;
  if (!item) return {};
  return at(map, map.fileOffset(item->begin), definitionWords(item->name) + " starts");
}

std::string typeHints(const Diagnostic& d, const SourceMap& map) {
  if (d.Type == "Match" || d.Type == "Comma") return bracketHints(d, map);
  if (d.Type == "Alive") return aliveHints(d, map);
  if (d.Type == "Lower" || d.Type == "Built") {
    std::string out = at(map, map.fileOffset(std::size_t(d.position)), "the definition");
    return out + hint(d.Type == "Lower"
                          ? "a single lowercase letter is a variable; give the definition a longer name"
                          : "that name is a built-in function; give the definition another name");
  }
  std::string out = definitionStart(map, d);
  if (d.Type == "Local") {
    const SourceItem* item = d.definition ? map.item(*d.definition) : nullptr;
    std::string letter = d.Message.substr(std::string_view("Local variable ").size(), 1);
    if (item)
      if (std::optional<std::size_t> used = findWord(map, *item, letter))
        out += at(map, map.fileOffset(*used), quoted(letter) + " is used");
    out += hint(
        "bind the letter with a parameter (x\\...) or a binding (x{...}...); a global name has at least two "
        "letters");
  } else if (d.Type == "Funky") {
    out += hint("only a name can stand before `\\` or `{`: a parameter or a binding's name");
  } else if (d.Type == "Arity") {
    out += hint("a function takes at most ten parameters: pass a pair or a list instead");
  } else if (d.Type == "Place") {
    out += hint("a definition binds at most 26 one-letter names: split it into smaller definitions");
  } else if (d.Type == "Steps") {
    out += hint("a loop or a recursion that never reaches its end is the usual cause:") +
           hint("--profile shows which definitions took the steps, --trace NAME the calls of one");
  }
  return out;
}

std::string zOriginWords(const eval::ZOrigin& z) {
  std::string given = z.kinds.empty() ? "no argument" : z.kinds;
  return quoted(z.builtin) + " given (" + given + ") in " +
         (z.inDefinition ? definitionWords(z.definition) : std::string("the main expression"));
}

// An operator given something that is no number nor text: most often a function,
// because application by a space binds looser than every operator.
std::string looseSpaceHint(const eval::ZOrigin& z) {
  bool op =
      z.builtin.size() == 1 && std::string_view("+-*/%<>=&|^").find(z.builtin[0]) != std::string_view::npos;
  if (!op || z.kinds.find("other") == std::string::npos) return {};
  return hint(quoted(z.builtin) +
              " was given something that is not a number (a function, perhaps): a space binds "
              "looser than an operator, so 1 + f x is (1 + f) x; write 1 + (f x)");
}

std::string rangeHints(const Diagnostic& d) {
  if (!d.Message.ends_with("\nZ")) return {};
  if (const eval::ZOrigin* z = eval::firstZ())
    return hint("this Z first came from a built-in given an argument of a wrong kind, or out of range: " +
                zOriginWords(*z)) +
           looseSpaceHint(*z);
  return hint("Z is the undefined value: a name applied that defines nothing, or data applied as a function");
}

}  // namespace

static std::optional<bool>& hintsChoice() {
  static std::optional<bool> choice;
  return choice;
}

void setHints(bool on) { hintsChoice() = on; }

bool hintsOn() {
  if (!hintsChoice()) {
    const char* chosen = std::getenv("VORL_HINTS");
    if (chosen && std::strcmp(chosen, "1") == 0) hintsChoice() = true;
    else if (chosen && std::strcmp(chosen, "0") == 0)
      hintsChoice() = false;
    else
      hintsChoice() = isatty(STDERR_FILENO) == 1;
  }
  return *hintsChoice();
}

std::string reportHints(const Diagnostic& d, std::string_view file, std::size_t firstLine) {
  if (d.Type == "Range") return rangeHints(d);
  SourceMap map(file, firstLine);
  std::string out = typeHints(d, map);
  const SourceItem* item = d.definition ? map.item(*d.definition) : nullptr;
  if (item && (d.Type == "Funky" || d.Type == "Alive" || d.Type == "Local")) {
    if (std::optional<std::size_t> next = missingComma(map, *item))
      out += at(map, *next, "a line that begins like a definition") +
             hint("a comma is probably missing before it: definitions are separated by commas");
  }
  if (std::optional<std::size_t> remark = remarkLike(file))
    out +=
        at(map, *remark, "what looks like a comment") +
        hint(
            "the language has no comments: write a note as a text item, such as [note: ...], between commas");
  return out;
}

std::string startHint(const char* path) {
  struct stat about;
  if (stat(path, &about) != 0) return hint(quoted(path) + ": " + std::strerror(errno));
  if (S_ISDIR(about.st_mode)) return hint(quoted(path) + " is a folder, not a program file");
  return hint(quoted(path) + " could not be read: check its permissions");
}

std::string endHint() {
  uint64_t count = eval::zAnswers();
  const eval::ZOrigin* z = eval::firstZ();
  if (count == 0 || !z) return {};
  std::string calls = count == 1 ? "1 built-in call" : std::to_string(count) + " built-in calls";
  return hint(calls +
              " answered Z (an argument of a wrong kind, or out of range); the first: " + zOriginWords(*z)) +
         looseSpaceHint(*z);
}

const char* endingHint(std::string_view type) {
  if (type == "Space")
    return "hint: the run reached its memory budget; a recursion without a base case is the usual cause, or\n"
           "hint: data that grows without end. VORL_MAX_MEMORY=4G (say) raises the budget.\n";
  if (type == "Fault")
    return "hint: an integer given as an address points nowhere, or names no open stream: check the call\n"
           "hint: that made it (a failed fopen or malloc gives 0) and that the stream is still open.\n";
  return nullptr;
}

std::string nearestNames(std::string_view name) {
  std::vector<std::pair<std::size_t, std::string>> near;
  std::size_t limit = name.size() <= 3 ? 1 : name.size() <= 6 ? 2 : 3;
  for (const auto& [candidate, term] : front::definitions()) {
    if (candidate.size() < 2 || candidate == name) continue;
    if (!std::all_of(candidate.begin(), candidate.end(), [](char c) { return front::isNameChar(c); }))
      continue;
    if (std::size_t distance = editDistance(name, candidate); distance <= limit)
      near.push_back({distance, candidate});
  }
  std::sort(near.begin(), near.end());
  std::string out;
  for (std::size_t i = 0; i < near.size() && i < 3; ++i) out += (i ? " or " : "") + quoted(near[i].second);
  return out;
}

}  // namespace driver
