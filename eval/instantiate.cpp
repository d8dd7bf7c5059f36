// Recursive substitution for shallow terms.
#include "eval/instantiate.h"

#include "terms/annotation.h"
#include "terms/shapes.h"

namespace eval {

using cells::Cell;
using cells::Handle;

namespace {

// Deeper than this the work list of `substitute` takes over: the C stack stays small
// whatever the term.
constexpr int kRecursionLimit = 200;

struct Walk {
  const Places& places;

  // The letters that stay active in a pair's right child: a binder removes its key.
  static uint32_t activeOnTheRight(const Cell* p, uint32_t active) {
    if (!terms::isLambda(p) && !terms::isCurly(p)) return active;
    const Cell* key = terms::binderKey(p);
    return terms::isLetterAtom(key) ? active & ~terms::letterBit(key) : active;
  }

  Handle deeper(Cell* c, uint32_t active) const {
    Places only;
    only.letters = active;
    for (uint32_t rest = active; rest; rest &= rest - 1) {
      int i = __builtin_ctz(rest);
      only.values[i] = places.values[i];
    }
    return substitute(c, only);
  }

  // 1. A term in which no active letter is free is shared as it stands.
  // 2. An active letter becomes its value.
  // 3. A pair is rebuilt from its substituted children.
  Handle at(Cell* c, uint32_t active, int depth) const {
    if ((terms::cachedMask(c) & active) == 0) return Handle(c);
    if (cells::isAtom(c)) return Handle(const_cast<Cell*>(places.values[cells::firstByte(c) - 'a']));
    if (depth >= kRecursionLimit) return deeper(c, active);
    Handle left = at(cells::leftOf(c), active, depth + 1);
    Handle right = at(cells::rightOf(c), activeOnTheRight(c, active), depth + 1);
    Handle pair = cells::makePair(std::move(left), std::move(right));
    terms::annotate(pair.get());  // children are annotated: one step
    return pair;
  }
};

}  // namespace

Handle instantiateWalk(Cell* t, const Places& places) {
  if (!cells::isAnnotated(t)) terms::annotate(t);
  return Walk{places}.at(t, places.letters, 0);
}

}  // namespace eval
