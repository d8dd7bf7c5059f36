// Precedence descent over pieces of the normalised text. The levels, loosest first:
//   1  ; \ {   right fold; a curly group X{B}C is ({ X B' C)
//   2  ? \n    left fold; a line feed applies the next line: (S acc)
//   3  & |     right        4  = < > #   right
//   5  @ space left; a space is application (acc S)
//   6  + - : . left         7  * / % '   left        8  ^   right
//   9  postfix ~ ! " $ `   10  prefix    11  inner runs of them
//  12  juxtaposition without space and call lists    13  tokens
// A level that finds none of its separators hands the same piece to the next level
// in a loop, so the C stack grows only with the nesting of brackets.
#include "front/parser.h"

#include <vector>

namespace front {

using cells::Handle;
using cells::makeAtom;
using cells::makePair;

namespace {

struct Piece {
  std::size_t begin, end;
  bool empty() const { return begin >= end; }
};

enum class Fold { left, right };

struct Level {
  std::string_view separators;
  Fold fold;
};

// Levels 1 to 8; the curly group and the two white-space separators have their own
// term shapes.
constexpr Level kBinaryLevels[] = {
    {";\\{", Fold::right}, {"?\n", Fold::left},  {"&|", Fold::right},  {"=<>#", Fold::right},
    {"@ ", Fold::left},    {"+-:.", Fold::left}, {"*/%'", Fold::left}, {"^", Fold::right},
};
constexpr int kPostfixLevel = 9;
constexpr std::string_view kUnary = "~!\"$`";

bool isUnary(unsigned char c) { return c != 0 && kUnary.find(char(c)) != std::string_view::npos; }

class Parser {
 public:
  explicit Parser(const Scanner& s) : s_(s) {}

  Handle parse(int level, Piece p);

 private:
  Handle atomOf(Piece p) const {
    return makeAtom(std::string_view(s_.text()).substr(p.begin, p.end - p.begin));
  }
  Handle opAtom(std::size_t pos) const { return atomOf({pos, pos + 1}); }

  Handle binary(int level, Piece p, const std::vector<std::size_t>& seps);
  Handle combine(std::size_t sep, Handle acc, Handle segment, Fold fold);
  Handle curly(std::size_t open, Handle left, Handle acc);
  Handle braceList(Piece inner);
  Handle unaryLevel(int level, Piece p);
  Handle inner(Piece p);
  Handle juxtaposition(Piece p);
  Handle callList(Handle acc, Piece inner);
  Handle token(Piece p);

  const Scanner& s_;
};

Handle Parser::parse(int level, Piece p) {
  for (; level <= 8; ++level) {
    std::vector<std::size_t> seps =
        s_.topLevelSeparators(p.begin, p.end, kBinaryLevels[level - 1].separators);
    if (!seps.empty()) return binary(level, p, seps);
  }
  return unaryLevel(level, p);
}

// The end of the text that a separator occupies: a curly group runs to its partner.
// (In a right fold, the text after the last separator starts there.)
Handle Parser::binary(int level, Piece p, const std::vector<std::size_t>& seps) {
  auto sepEnd = [&](std::size_t sep) { return s_.at(sep) == '{' ? s_.matchingBracket(sep) + 1 : sep + 1; };
  if (kBinaryLevels[level - 1].fold == Fold::left) {
    Handle acc = parse(level + 1, {p.begin, seps.front()});
    for (std::size_t i = 0; i < seps.size(); ++i) {
      std::size_t segEnd = i + 1 < seps.size() ? seps[i + 1] : p.end;
      acc = combine(seps[i], std::move(acc), parse(level + 1, {seps[i] + 1, segEnd}), Fold::left);
    }
    return acc;
  }
  Handle acc = parse(level + 1, {sepEnd(seps.back()), p.end});
  for (std::size_t i = seps.size(); i-- > 0;) {
    std::size_t segBegin = i > 0 ? sepEnd(seps[i - 1]) : p.begin;
    Handle segment = parse(level + 1, {segBegin, seps[i]});
    acc = s_.at(seps[i]) == '{' ? curly(seps[i], std::move(segment), std::move(acc))
                                : combine(seps[i], std::move(acc), std::move(segment), Fold::right);
  }
  return acc;
}

// Left fold: (c acc S), a line feed (S acc), a space (acc S).
// Right fold: (c S acc).
Handle Parser::combine(std::size_t sep, Handle acc, Handle segment, Fold fold) {
  unsigned char c = s_.at(sep);
  if (fold == Fold::right) return makePair(opAtom(sep), std::move(segment), std::move(acc));
  if (c == '\n') return makePair(std::move(segment), std::move(acc));
  if (c == ' ') return makePair(std::move(acc), std::move(segment));
  return makePair(opAtom(sep), std::move(acc), std::move(segment));
}

// X{B}C gives ({ X B' C), where B' joins the comma-separated items of B with ",".
Handle Parser::curly(std::size_t open, Handle left, Handle acc) {
  std::size_t close = s_.matchingBracket(open);
  return makePair(opAtom(open), std::move(left), braceList({open + 1, close}), std::move(acc));
}

// Items x, y, z give (, x (, y z)); a single item gives its own term.
Handle Parser::braceList(Piece inner) {
  std::vector<std::size_t> commas = s_.topLevelSeparators(inner.begin, inner.end, ",");
  Handle acc = parse(1, {commas.empty() ? inner.begin : commas.back() + 1, inner.end});
  for (std::size_t i = commas.size(); i-- > 0;) {
    std::size_t itemBegin = i > 0 ? commas[i - 1] + 1 : inner.begin;
    acc = makePair(opAtom(commas[i]), parse(1, {itemBegin, commas[i]}), std::move(acc));
  }
  return acc;
}

// Levels 9 and 10: postfix and prefix unary operators, (c T); then level 11.
Handle Parser::unaryLevel(int level, Piece p) {
  if (p.empty()) return makeAtom("}");
  std::vector<std::size_t> ops;  // applied outermost first
  for (; level == kPostfixLevel && !p.empty() && isUnary(s_.at(p.end - 1));) ops.push_back(--p.end);
  for (; !p.empty() && isUnary(s_.at(p.begin));) ops.push_back(p.begin++);
  Handle acc = p.empty() ? makeAtom("}") : inner(p);
  for (std::size_t i = ops.size(); i-- > 0;) acc = makePair(opAtom(ops[i]), std::move(acc));
  return acc;
}

// Level 11: g~x is (g (~ x)); a run c1..ck before the text t gives (c1 (... (ck T))).
// Decision: T is t read with juxtaposition (g~x(y) is (g (~ (x y)))), so that no
// part of t is lost or read as one odd atom.
Handle Parser::inner(Piece p) {
  std::vector<std::size_t> runs;  // the start of each run of unary characters
  for (std::size_t i = p.begin; i < p.end; ++i) {
    if (isUnary(s_.at(i)) && (i == p.begin || !isUnary(s_.at(i - 1)))) runs.push_back(i);
    if (isOpeningBracket(s_.at(i))) i = s_.matchingBracket(i);
  }
  if (runs.empty()) return juxtaposition(p);
  Handle acc = juxtaposition({p.begin, runs.front()});
  for (std::size_t r = 0; r < runs.size(); ++r) {
    std::size_t textBegin = runs[r];
    while (isUnary(s_.at(textBegin))) ++textBegin;
    std::size_t textEnd = r + 1 < runs.size() ? runs[r + 1] : p.end;
    Handle u = juxtaposition({textBegin, textEnd});
    for (std::size_t i = textBegin; i-- > runs[r];) u = makePair(opAtom(i), std::move(u));
    acc = makePair(std::move(acc), std::move(u));
  }
  return acc;
}

bool startsPiece(unsigned char p, unsigned char c) {
  return c == '(' || c == '[' || p == ')' || p == ']' || (isNameChar(c) && !isNameChar(p)) ||
         (isDigit(c) && !isDigit(p)) || (!isDelimiter(c) && !isNameChar(c) && !isDigit(c));
}

// Level 12: pieces applied left to right; a later piece in parentheses is a call
// list whose arguments are applied in order (g(x,y) is (g x y)).
Handle Parser::juxtaposition(Piece p) {
  if (p.empty()) return makeAtom("}");
  std::vector<std::size_t> starts{p.begin};
  std::size_t i = isOpeningBracket(s_.at(p.begin)) ? s_.matchingBracket(p.begin) + 1 : p.begin + 1;
  for (; i < p.end; ++i) {
    unsigned char c = s_.at(i);
    if (startsPiece(s_.at(i - 1), c)) starts.push_back(i);
    if (c == '(' || c == '[') i = s_.matchingBracket(i);
  }
  Handle acc = token({p.begin, starts.size() > 1 ? starts[1] : p.end});
  for (std::size_t k = 1; k < starts.size(); ++k) {
    Piece piece{starts[k], k + 1 < starts.size() ? starts[k + 1] : p.end};
    acc = s_.at(piece.begin) == '('
              ? callList(std::move(acc), {piece.begin + 1, s_.matchingBracket(piece.begin)})
              : makePair(std::move(acc), token(piece));
  }
  return acc;
}

Handle Parser::callList(Handle acc, Piece inner) {
  std::vector<std::size_t> commas = s_.topLevelSeparators(inner.begin, inner.end, ",");
  std::size_t argBegin = inner.begin;
  for (std::size_t comma : commas) {
    acc = makePair(std::move(acc), parse(1, {argBegin, comma}));
    argBegin = comma + 1;
  }
  return makePair(std::move(acc), parse(1, {argBegin, inner.end}));
}

// Level 13: a numeral, a name or a text literal is one atom of the whole piece; a
// parenthesised group is parsed whole; a NUL is the atom of one line feed.
// Decision: any other piece longer than one character (only odd texts such as
// g~Ab reach here) is also one atom of the whole piece, which the checks then
// report as an undefined name.
Handle Parser::token(Piece p) {
  if (p.empty()) return makeAtom("}");
  unsigned char c = s_.at(p.begin);
  if (c == '(') return parse(1, {p.begin + 1, std::min(s_.matchingBracket(p.begin), p.end)});
  if (c == '\0' && p.end - p.begin == 1) return makeAtom("\n");
  return atomOf(p);
}

}  // namespace

Handle parseExpression(const Scanner& s, std::size_t begin, std::size_t end) {
  return Parser(s).parse(1, {begin, end});
}

Handle parseExpression(std::string_view normalisedText) {
  Scanner s{std::string(normalisedText)};
  return parseExpression(s, 0, s.text().size());
}

}  // namespace front
