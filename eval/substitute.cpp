// Substitution with an explicit work list: terms may be a million cells deep.
#include "eval/substitute.h"

#include <vector>

#include "terms/annotation.h"
#include "terms/shapes.h"

namespace eval {

using cells::Cell;
using cells::Handle;

namespace {

struct Task {
  const Cell* cell;
  uint32_t active;  // the letters still to be replaced here
  bool childrenDone;
};

// The letters that stay active in a pair's right child: a binder removes its key.
uint32_t activeOnTheRight(const Cell* p, uint32_t active) {
  if (!terms::isLambda(p) && !terms::isCurly(p)) return active;
  const Cell* key = terms::binderKey(p);
  return terms::isLetterAtom(key) ? active & ~terms::letterBit(key) : active;
}

}  // namespace

// 1. A term in which no active letter is free is shared as it stands.
// 2. An active letter becomes its value.
// 3. A pair is rebuilt from its substituted children; a binder's key leaves the set
//    of active letters for the binder's scope.
Handle substitute(Cell* t, const Places& places) {
  if (!cells::isAnnotated(t)) terms::annotate(t);
  // Reused from call to call: substitution runs at every call of a definition.
  static std::vector<Task> work;
  static std::vector<Handle> results;
  work.clear();
  const Cell* c = t;
  uint32_t active = places.letters;
  for (;;) {
    // Descend the left spine, leaving each pair and its right child for later.
    for (;;) {
      uint32_t relevant = terms::cachedMask(c) & active;
      if (relevant == 0) {
        results.emplace_back(const_cast<Cell*>(c));
        break;
      }
      if (cells::isAtom(c)) {
        results.emplace_back(const_cast<Cell*>(places.values[cells::firstByte(c) - 'a']));
        break;
      }
      work.push_back({c, active, true});
      work.push_back({cells::rightOf(c), activeOnTheRight(c, active), false});
      c = cells::leftOf(c);
    }
    // Build every pair whose children are both done; then take the next right child.
    for (;;) {
      if (work.empty()) {
        Handle result = std::move(results.back());
        results.pop_back();
        return result;
      }
      Task task = work.back();
      work.pop_back();
      if (!task.childrenDone) {
        c = task.cell;
        active = task.active;
        break;
      }
      Handle right = std::move(results.back());
      results.pop_back();
      results.back() = cells::makePair(std::move(results.back()), std::move(right));
      terms::annotate(results.back().get());  // children are annotated: one step
    }
  }
}

}  // namespace eval
