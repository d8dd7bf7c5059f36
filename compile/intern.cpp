// Interning works children first, so a pair is looked up only once both of its
// children are canonical: two canonical pairs are then equal exactly when their
// children are the same cells, and no large sub-term is compared twice.
#include "compile/intern.h"

#include <set>
#include <unordered_map>
#include <vector>

namespace compile {

using cells::Cell;
using cells::Handle;

// Atoms before pairs; atoms by their bytes; pairs of canonical children by the
// children's identity.
struct CanonicalOrder {
  using is_transparent = void;
  bool operator()(const Handle& a, const Handle& b) const { return less(a.get(), b.get()); }
  static bool less(const Cell* a, const Cell* b) {
    if (cells::isAtom(a) != cells::isAtom(b)) return cells::isAtom(a);
    if (cells::isAtom(a)) return cells::text(a) < cells::text(b);
    if (cells::leftOf(a) != cells::leftOf(b)) return std::less<const Cell*>()(cells::leftOf(a), cells::leftOf(b));
    return std::less<const Cell*>()(cells::rightOf(a), cells::rightOf(b));
  }
};

static std::set<Handle, CanonicalOrder>& internedSet() {
  static std::set<Handle, CanonicalOrder> set;
  return set;
}

static Handle canonical(Handle candidate) {
  auto [it, inserted] = internedSet().insert(std::move(candidate));
  return *it;
}

Handle intern(const Handle& term) {
  std::unordered_map<Cell*, Handle> done;
  std::vector<std::pair<Cell*, bool>> work{{term.get(), false}};
  auto result = [&](Cell* c) -> const Handle& { return done.at(c); };
  while (!work.empty()) {
    auto [c, childrenDone] = work.back();
    work.pop_back();
    if (done.count(c)) continue;
    if (cells::isAtom(c)) {
      done[c] = canonical(Handle(c));
    } else if (!childrenDone) {
      work.insert(work.end(), {{c, true}, {cells::rightOf(c), false}, {cells::leftOf(c), false}});
    } else {
      const Handle& l = result(cells::leftOf(c));
      const Handle& r = result(cells::rightOf(c));
      bool same = l.get() == cells::leftOf(c) && r.get() == cells::rightOf(c);
      done[c] = canonical(same ? Handle(c) : cells::makePair(l, r));
    }
  }
  return result(term.get());
}

void clearInterned() {
  // Emptied through a swap, so the cells are released after the set is consistent.
  std::set<Handle, CanonicalOrder> old;
  old.swap(internedSet());
}

}  // namespace compile
