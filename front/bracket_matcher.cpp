// The bracket check: a forward pass for nesting, a backward pass for commas.
#include "front/bracket_matcher.h"

#include <algorithm>
#include <vector>

#include "cells/cell.h"
#include "cells/deep_stack.h"
#include "front/lexer.h"

namespace front {

std::string positionCode(int64_t n) {
  if (n < 0 || n >= (int64_t{1} << 30)) return "!!!!!";
  std::string code(5, '_');
  for (int i = 4; i >= 0; --i, n >>= 6) code[i] = cells::kDigitAlphabet[n & 63];
  return code;
}

static bool located(driver::Diagnostic& d, std::string_view type, int64_t n, std::string text) {
  return driver::fail(d, type, std::string(type) + "[" + positionCode(n) + "]" + text, {}, n);
}

std::size_t deepestNesting() { return std::min(kDeepestNesting, cells::deepStackBytes() / kStackPerLevel); }

// 1. Inside square brackets only square brackets count.
// 2. Every other opening bracket is pushed; a closing one must fit the top.
static bool forwardPass(std::string_view text, driver::Diagnostic& d) {
  const std::size_t deepest = deepestNesting();
  std::vector<std::size_t> open;
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    bool literal = !open.empty() && text[open.back()] == '[';
    if (literal && c != '[' && c != ']') continue;
    if (isOpeningBracket(c)) {
      open.push_back(i);
      if (open.size() > deepest)
        return located(d, "Match", int64_t(i),
                       "Nesting deeper than " + std::to_string(deepest) + " brackets.");
      continue;
    }
    if (!isClosingBracket(c)) continue;
    if (open.empty())
      return located(d, "Match", int64_t(i), "Left dangling " + std::string(bracketKindName(c)) + ".");
    if (bracketKindName(c) != bracketKindName(static_cast<unsigned char>(text[open.back()])))
      return located(d, "Match", int64_t(open.back()),
                     std::string("Doesn't fit '") + char(c) + "' at [" + positionCode(int64_t(i)) + "].");
    open.pop_back();
  }
  if (open.empty()) return true;
  auto opener = static_cast<unsigned char>(text[open.back()]);
  return located(d, "Match", int64_t(open.back()),
                 "Right dangling " + std::string(bracketKindName(opener)) + ".");
}

// Walking backwards, each parenthesised group remembers its leftmost comma; a group
// with a comma must follow a closing bracket or a non-operator character (a call
// list such as g(a,b)).
static bool backwardPass(const Scanner& s, driver::Diagnostic& d) {
  std::vector<std::size_t> stack;
  const std::string& text = s.text();
  for (std::size_t i = text.size(); i-- > 0;) {
    unsigned char c = s.at(i);
    if (c == ']') {
      i = s.matchingBracket(i);
    } else if (c == ')' || c == '}') {
      stack.push_back(i);
    } else if (c == ',' && !stack.empty() && text[stack.back()] != '}') {
      if (text[stack.back()] == ',') stack.back() = i;
      else
        stack.push_back(i);
    } else if (c == '{' && !stack.empty()) {
      stack.pop_back();
    } else if (c == '(' && !stack.empty()) {
      if (text[stack.back()] == ',') {
        unsigned char before = i > 0 ? s.at(i - 1) : '\n';
        bool callList = before == ')' || before == ']' || !isOperatorChar(before);
        if (!callList)
          return located(d, "Comma", int64_t(stack.back()),
                         "Comma encountered in parenthesization which is not a call list.");
        stack.pop_back();
      }
      stack.pop_back();
    }
  }
  return true;
}

bool checkBrackets(std::string_view text, driver::Diagnostic& d) {
  return forwardPass(text, d) && backwardPass(Scanner(std::string(text)), d);
}

}  // namespace front
