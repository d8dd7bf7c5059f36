// The normaliser and the scanning primitives. The language has no token stream:
// program text is rewritten into a compact form in which each run of white space
// disappears or becomes one meaningful character (a space applies, a line feed
// applies the next line to the previous ones), and later stages cut pieces of that
// text at separators that stand outside every bracket group.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace front {

// The 27 operator characters: each alone is a global name, and "[c]" defines it.
inline constexpr std::string_view kOperatorChars = "{,}~!@#$%^&*<>-|+/=\\.`'\":;?";
inline bool isOperatorName(std::string_view t) {
  return t.size() == 1 && kOperatorChars.find(t[0]) != std::string_view::npos;
}

// Line feed, space and the 20 characters # % & ' * + , - . / : ; < = > ? @ \ ^ |.
bool isOperatorChar(unsigned char c);
inline bool isOpeningBracket(unsigned char c) { return c == '(' || c == '[' || c == '{'; }
inline bool isClosingBracket(unsigned char c) { return c == ')' || c == ']' || c == '}'; }
inline bool isBracket(unsigned char c) { return isOpeningBracket(c) || isClosingBracket(c); }
// "parenthesis", "bracket" or "wing".
std::string_view bracketKindName(unsigned char c);
// The 33 delimiters of the token level: the operator characters, the brackets, space
// and line feed.
bool isDelimiter(unsigned char c);
inline bool isNameChar(unsigned char c) { return c == '_' || (c >= 'a' && c <= 'z'); }
inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Strips leading and trailing white space, keeps square-bracket groups verbatim, and
// drops each inner run of spaces and line feeds next to an operator or a bracket
// that makes it meaningless; any other run becomes one line feed if it holds one,
// else one space. With `origins`, also gives for each byte of the result its offset
// in `text` (for reports that point into the file; the reading itself never asks).
std::string normaliseSource(std::string_view text, std::vector<std::size_t>* origins = nullptr);

// A text with the partner of every bracket found once, so that jumping over a group
// costs nothing and cutting nested text stays linear. Square groups count only
// square brackets; parentheses and curly brackets count together, jumping over
// square groups. The text must be balanced (the bracket check runs first); any
// stray bracket is its own partner.
class Scanner {
 public:
  explicit Scanner(std::string text);

  const std::string& text() const { return text_; }
  unsigned char at(std::size_t pos) const { return static_cast<unsigned char>(text_[pos]); }
  // The partner of the bracket at pos; pos itself for any other character.
  std::size_t matchingBracket(std::size_t pos) const;
  // Ascending positions in [begin, end) of characters of `set` outside every bracket
  // group; an opening bracket in `set` is recorded and its group skipped.
  std::vector<std::size_t> topLevelSeparators(std::size_t begin, std::size_t end, std::string_view set) const;

 private:
  std::string text_;
  std::vector<std::size_t> partner_;
};

}  // namespace front
