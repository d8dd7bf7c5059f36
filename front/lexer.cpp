// Normalisation and bracket-aware scanning.
#include "front/lexer.h"

#include <cstring>

#include "cells/invariant.h"

namespace front {

bool isOperatorChar(unsigned char c) {
  return c != 0 && std::strchr("\n #%&'*+,-./:;<=>?@\\^|", c) != nullptr;
}

bool isDelimiter(unsigned char c) {
  if (c == 0) return false;
  return kOperatorChars.find(char(c)) != std::string_view::npos || std::strchr("()[] \n", c) != nullptr;
}

std::string_view bracketKindName(unsigned char c) {
  switch (c) {
    case '(':
    case ')': return "parenthesis";
    case '[':
    case ']': return "bracket";
    case '{':
    case '}': return "wing";
  }
  cells::invariant(false, "kind name of a character that is not a bracket");
  return {};
}

static bool isWhite(char c) { return c == ' ' || c == '\n'; }

// Whether a run of white space between prev and next carries no meaning.
static bool runIsDropped(unsigned char prev, unsigned char next) {
  return isOperatorChar(prev) || isOperatorChar(next) || prev == '{' || prev == '(' || prev == '}' ||
         next == '}' || next == ')' || next == '{';
}

std::string normaliseSource(std::string_view text, std::vector<std::size_t>* origins) {
  // Where each byte of the result came from in `text`; a kept run of white space
  // comes from its first byte.
  auto from = [&](std::size_t at, std::size_t count) {
    if (origins)
      for (std::size_t k = 0; k < count; ++k) origins->push_back(at + k);
  };
  std::size_t begin = 0, end = text.size();
  while (begin < end && isWhite(text[begin])) ++begin;
  while (end > begin && isWhite(text[end - 1])) --end;
  std::string out;
  out.reserve(end - begin);
  for (std::size_t i = begin; i < end;) {
    if (text[i] == '[') {
      std::size_t depth = 0, j = i;
      for (; j < end; ++j) {
        if (text[j] == '[') ++depth;
        if (text[j] == ']' && --depth == 0) break;
      }
      j = j < end ? j + 1 : end;
      out.append(text.substr(i, j - i));
      from(i, j - i);
      i = j;
    } else if (!isWhite(text[i])) {
      from(i, 1);
      out += text[i++];
    } else {
      std::size_t j = i;
      bool hasLineFeed = false;
      for (; isWhite(text[j]); ++j) hasLineFeed |= text[j] == '\n';
      auto prev = static_cast<unsigned char>(text[i - 1]);
      auto next = static_cast<unsigned char>(text[j]);
      if (!runIsDropped(prev, next)) {
        from(i, 1);
        out += hasLineFeed ? '\n' : ' ';
      }
      i = j;
    }
  }
  return out;
}

Scanner::Scanner(std::string text) : text_(std::move(text)), partner_(text_.size()) {
  std::vector<std::size_t> open;
  std::size_t squareDepth = 0;  // open square brackets on top of the stack
  for (std::size_t i = 0; i < text_.size(); ++i) {
    unsigned char c = at(i);
    partner_[i] = i;
    bool counts = squareDepth > 0 ? (c == '[' || c == ']') : isBracket(c);
    if (!counts) continue;
    if (isOpeningBracket(c)) {
      open.push_back(i);
      squareDepth += c == '[';
    } else if (!open.empty() && (c == ']') == (at(open.back()) == '[')) {
      partner_[i] = open.back();
      partner_[open.back()] = i;
      squareDepth -= c == ']';
      open.pop_back();
    }
  }
}

std::size_t Scanner::matchingBracket(std::size_t pos) const {
  cells::invariant(pos < text_.size(), "bracket position outside the text");
  return partner_[pos];
}

std::vector<std::size_t> Scanner::topLevelSeparators(std::size_t begin, std::size_t end,
                                                     std::string_view set) const {
  std::vector<std::size_t> found;
  for (std::size_t i = begin; i < end; ++i) {
    if (set.find(text_[i]) != std::string_view::npos) found.push_back(i);
    if (isOpeningBracket(at(i))) i = partner_[i];
  }
  return found;
}

}  // namespace front
