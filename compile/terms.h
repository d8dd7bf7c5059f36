// Shapes of the binder forms the parser builds, shared by the passes, the checks
// and the analysis: a lambda (\ X body) and a curly form ({ X B C), written X{B}C.
#pragma once

#include <cstdint>
#include <string_view>

#include "cells/cell.h"

namespace compile {

inline bool isAtomText(const cells::Cell* c, std::string_view t) {
  return cells::isAtom(c) && cells::text(c) == t;
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
  return cells::isAtom(c) && cells::text(c).size() == 1 &&
         cells::firstByte(c) >= 'a' && cells::firstByte(c) <= 'z';
}
inline uint32_t letterBit(const cells::Cell* c) { return uint32_t{1} << (cells::firstByte(c) - 'a'); }

}  // namespace compile
