// The post-order walk over a term, written once for the passes that fill a table
// or a cache children first.
#pragma once

#include <utility>
#include <vector>

#include "cells/cell.h"

namespace terms {

// Calls `visit(c)` on every cell of the term below `root`, children before their
// pair, leaving out each cell for which `skip(c)` holds (and what lies under it,
// unless reached another way). The work list is explicit, so a million-deep term
// does not use the C stack; a caller that walks often passes its own to reuse.
template <class C, class Skip, class Visit>
void walkChildrenFirst(C* root, std::vector<std::pair<C*, bool>>& work, Skip skip, Visit visit) {
  work.assign(1, {root, false});
  while (!work.empty()) {
    auto [c, childrenDone] = work.back();
    work.pop_back();
    if (skip(c)) continue;
    if (childrenDone || cells::isAtom(c)) {
      visit(c);
      continue;
    }
    work.push_back({c, true});
    work.push_back({cells::rightOf(c), false});
    work.push_back({cells::leftOf(c), false});
  }
}

template <class C, class Skip, class Visit>
void walkChildrenFirst(C* root, Skip skip, Visit visit) {
  std::vector<std::pair<C*, bool>> work;
  walkChildrenFirst(root, work, skip, visit);
}

}  // namespace terms
