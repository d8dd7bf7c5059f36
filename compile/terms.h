// Shapes of the binder forms the parser builds, shared by the passes, the checks
// and the analysis: a lambda (\ X body) and a curly form ({ X B C), written X{B}C.
#pragma once

#include <cstdint>
#include <string_view>

#include "cells/cell.h"

namespace compile {

inline bool isAtomText(const cells::Cell* c, std::string_view t) {
  // The first byte rejects almost every atom before the text is measured.
  if (!cells::isAtom(c) || t.empty() || cells::chars(c)[0] != t[0]) return false;
  return t.size() == 1 ? cells::chars(c)[1] == '\0' : cells::text(c) == t;
}
// ((\ X) body): X is bound in body.
inline bool isLambda(const cells::Cell* c) {
  return cells::isPair(c) && cells::isPair(cells::leftOf(c)) &&
         isAtomText(cells::leftOf(cells::leftOf(c)), "\\");
}
// ((({ X) B) C): X is bound in C only.
// (({ X) B), the function part of a curly form.
inline bool isCurlyHead(const cells::Cell* f) {
  return cells::isPair(f) && cells::isPair(cells::leftOf(f)) && isAtomText(cells::leftOf(cells::leftOf(f)), "{");
}
inline const cells::Cell* curlyHeadKey(const cells::Cell* f) { return cells::rightOf(cells::leftOf(f)); }
inline bool isCurly(const cells::Cell* c) { return cells::isPair(c) && isCurlyHead(cells::leftOf(c)); }
inline const cells::Cell* lambdaKey(const cells::Cell* c) { return cells::rightOf(cells::leftOf(c)); }
inline const cells::Cell* curlyKey(const cells::Cell* c) { return curlyHeadKey(cells::leftOf(c)); }
inline const cells::Cell* binderKey(const cells::Cell* c) {
  return isLambda(c) ? lambdaKey(c) : curlyKey(c);
}
// A single lowercase letter: a variable, never a global name.
inline bool isLetterAtom(const cells::Cell* c) {
  return cells::isAtom(c) && cells::chars(c)[0] >= 'a' && cells::chars(c)[0] <= 'z' && cells::chars(c)[1] == '\0';
}
inline uint32_t letterBit(const cells::Cell* c) { return uint32_t{1} << (cells::firstByte(c) - 'a'); }

}  // namespace compile
