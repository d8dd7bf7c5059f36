// Interning works children first, so a pair is looked up only once both of its
// children are canonical: two canonical pairs are then equal exactly when their
// children are the same cells, and no large sub-term is compared twice.
#include "compile/intern.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace compile {

using cells::Cell;
using cells::Handle;

// Two canonical candidates are the same term when they are atoms of equal bytes, or
// pairs of the same (already canonical) children. A hash set finds them in constant
// time, where an ordered set of a million cells would chase a pointer per level.
struct SameTerm {
  using is_transparent = void;
  static bool equal(const Cell* a, const Cell* b) {
    if (cells::isAtom(a) != cells::isAtom(b)) return false;
    if (cells::isAtom(a)) return cells::text(a) == cells::text(b);
    return cells::leftOf(a) == cells::leftOf(b) && cells::rightOf(a) == cells::rightOf(b);
  }
  bool operator()(const Handle& a, const Handle& b) const { return equal(a.get(), b.get()); }
  bool operator()(const Cell* a, const Handle& b) const { return equal(a, b.get()); }
  bool operator()(const Handle& a, const Cell* b) const { return equal(a.get(), b); }
};

struct TermHash {
  using is_transparent = void;
  static std::size_t hash(const Cell* c) {
    if (cells::isAtom(c)) return std::hash<std::string_view>()(cells::text(c));
    auto l = reinterpret_cast<std::uintptr_t>(cells::leftOf(c));
    auto r = reinterpret_cast<std::uintptr_t>(cells::rightOf(c));
    return std::hash<std::uintptr_t>()(l * 0x9E3779B97F4A7C15ull ^ (r + (l << 6) + (l >> 2)));
  }
  std::size_t operator()(const Handle& h) const { return hash(h.get()); }
  std::size_t operator()(const Cell* c) const { return hash(c); }
};

using InternedSet = std::unordered_set<Handle, TermHash, SameTerm>;

static InternedSet& internedSet() {
  static InternedSet set;
  return set;
}

static Handle canonical(Handle candidate) {
  auto [it, inserted] = internedSet().insert(std::move(candidate));
  return *it;
}

static bool isCanonical(const Cell* c) {
  auto found = internedSet().find(c);
  return found != internedSet().end() && found->get() == c;
}

// Post-order over the term with an explicit work list. A cell is expanded at most
// once: one with a single reference is reached only through its single parent, and
// the results of cells with more references are remembered. A canonical cell is
// taken as it stands, without a visit below it.
Handle intern(const Handle& term) {
  struct Task {
    Cell* cell;
    bool childrenDone;
  };
  std::vector<Task> work;
  std::vector<Handle> results;
  std::unordered_map<Cell*, Handle> sharedDone;
  auto finish = [&](Cell* c, Handle canonicalCell) {
    if (cells::refCount(c) > 1) sharedDone.emplace(c, canonicalCell);
    results.push_back(std::move(canonicalCell));
  };
  work.push_back({term.get(), false});
  while (!work.empty()) {
    Task task = work.back();
    work.pop_back();
    Cell* c = task.cell;
    if (task.childrenDone) {
      Handle r = std::move(results.back());
      results.pop_back();
      Handle l = std::move(results.back());
      results.pop_back();
      bool same = l.get() == cells::leftOf(c) && r.get() == cells::rightOf(c);
      finish(c, canonical(same ? Handle(c) : cells::makePair(std::move(l), std::move(r))));
      continue;
    }
    if (auto found = sharedDone.find(c); found != sharedDone.end()) {
      results.push_back(found->second);
    } else if (isCanonical(c)) {
      results.emplace_back(c);
    } else if (cells::isAtom(c)) {
      finish(c, canonical(Handle(c)));
    } else {
      work.push_back({c, true});
      work.push_back({cells::rightOf(c), false});
      work.push_back({cells::leftOf(c), false});
    }
  }
  return std::move(results.back());
}

void clearInterned() {
  // Emptied through a swap, so the cells are released after the set is consistent.
  InternedSet old;
  old.swap(internedSet());
}

}  // namespace compile
