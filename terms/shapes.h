// The term model that the compiler's passes and checks and both machines share
// (this folder): the shapes of the binder forms the parser builds, a lambda
// (\ X body) and a curly form ({ X B C), written X{B}C, and walks over them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "cells/cell.h"

namespace terms {

// ((\ X) body): X is bound in body.
inline bool isLambda(const cells::Cell* c) {
  return cells::isPair(c) && cells::isPair(cells::leftOf(c)) &&
         cells::isAtomText(cells::leftOf(cells::leftOf(c)), "\\");
}
// ((({ X) B) C): X is bound in C only.
// (({ X) B), the function part of a curly form.
inline bool isCurlyHead(const cells::Cell* f) {
  return cells::isPair(f) && cells::isPair(cells::leftOf(f)) &&
         cells::isAtomText(cells::leftOf(cells::leftOf(f)), "{");
}
inline const cells::Cell* curlyHeadKey(const cells::Cell* f) { return cells::rightOf(cells::leftOf(f)); }
inline bool isCurly(const cells::Cell* c) { return cells::isPair(c) && isCurlyHead(cells::leftOf(c)); }
inline const cells::Cell* lambdaKey(const cells::Cell* c) { return cells::rightOf(cells::leftOf(c)); }
inline const cells::Cell* curlyKey(const cells::Cell* c) { return curlyHeadKey(cells::leftOf(c)); }
inline const cells::Cell* binderKey(const cells::Cell* c) { return isLambda(c) ? lambdaKey(c) : curlyKey(c); }
// A single lowercase letter: a variable, never a global name.
inline bool isLetterAtom(const cells::Cell* c) {
  return cells::isAtom(c) && cells::chars(c)[0] >= 'a' && cells::chars(c)[0] <= 'z' &&
         cells::chars(c)[1] == '\0';
}
inline uint32_t letterBit(const cells::Cell* c) { return uint32_t{1} << (cells::firstByte(c) - 'a'); }

// Visits every binder form of a term (a lambda or a curly form), outermost first,
// with an explicit work list.
template <class OnBinder>
void forEachBinder(const cells::Cell* term, OnBinder onBinder) {
  std::vector<const cells::Cell*> work{term};
  while (!work.empty()) {
    const cells::Cell* c = work.back();
    work.pop_back();
    if (cells::isAtom(c)) continue;
    if (isLambda(c) || isCurly(c)) onBinder(c);
    work.insert(work.end(), {cells::rightOf(c), cells::leftOf(c)});
  }
}

// Visits the atoms of a term with ordinary scoping, with an explicit work list:
// `bind(key, +1)` as a binder's scope is entered and `bind(key, -1)` as it is left (a
// lambda's scope is its body, a curly form's its last part), and `onAtom(atom)` for
// every atom that is not a binder's key.
template <class Bind, class OnAtom>
void walkScoped(const cells::Cell* term, Bind bind, OnAtom onAtom) {
  struct Task {
    const cells::Cell* cell;
    int delta;  // 0: visit the cell; otherwise move the key's count
  };
  std::vector<Task> work{{term, 0}};
  auto scope = [&](const cells::Cell* key, const cells::Cell* body) {
    work.insert(work.end(), {{key, -1}, {body, 0}, {key, +1}});
  };
  while (!work.empty()) {
    Task t = work.back();
    work.pop_back();
    if (t.delta != 0) {
      bind(t.cell, t.delta);
    } else if (cells::isAtom(t.cell)) {
      onAtom(t.cell);
    } else if (isLambda(t.cell)) {
      scope(lambdaKey(t.cell), cells::rightOf(t.cell));
    } else if (isCurly(t.cell)) {
      scope(curlyKey(t.cell), cells::rightOf(t.cell));
      work.push_back({cells::rightOf(cells::leftOf(t.cell)), 0});
    } else {
      work.insert(work.end(), {{cells::rightOf(t.cell), 0}, {cells::leftOf(t.cell), 0}});
    }
  }
}

}  // namespace terms
