// The quote pass, the pair-pattern pass and the binder renaming. Each rebuilds the
// term children first with an explicit work list (terms may be a million deep);
// unchanged sub-terms are kept, not copied.
#include "compile/passes.h"

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "cells/common_atoms.h"
#include "compile/printer.h"
#include "front/reader.h"
#include "terms/annotation.h"
#include "terms/shapes.h"
#include "terms/walk.h"

namespace compile {

using cells::Cell;
using cells::Handle;

// Rebuilds a term children first: `onPair(original, left, right)` gives the
// result for a pair whose children are already rebuilt; atoms stay.
template <class OnPair>
static Handle rebuild(Cell* root, OnPair onPair) {
  std::unordered_map<Cell*, Handle> done;
  auto result = [&](Cell* c) { return cells::isAtom(c) ? Handle(c) : done.at(c); };
  terms::walkChildrenFirst(
      root, [&](Cell* c) { return cells::isAtom(c) || done.count(c) != 0; },
      [&](Cell* c) { done[c] = onPair(c, result(cells::leftOf(c)), result(cells::rightOf(c))); });
  return result(root);
}

static Handle samePair(Cell* original, Handle left, Handle right) {
  if (left.get() == cells::leftOf(original) && right.get() == cells::rightOf(original))
    return Handle(original);
  return cells::makePair(std::move(left), std::move(right));
}

Handle quotePass(const Handle& term) {
  return rebuild(term.get(), [](Cell* original, Handle f, Handle x) {
    if (!cells::isAtomText(f.get(), "`")) return samePair(original, std::move(f), std::move(x));
    // The source is the operand as written: printing the rewritten operand, which
    // holds the source texts of the quotes inside it, would double the text at every
    // level of nested quotes.
    Handle source = cells::makeAtom("[" + printTerm(cells::rightOf(original)) + "]");
    return cells::makePair(cells::common(cells::Common::V), source, x);
  });
}

static bool isNameAtom(const Cell* c) { return cells::isAtom(c) && front::isDefinableName(cells::text(c)); }

// Decision: the key's atoms must both be definable names; any other key is left
// for the "Funky" check to report.
static bool isPairPattern(const Handle& f) {
  if (!terms::isCurlyHead(f.get())) return false;
  const Cell* key = terms::curlyHeadKey(f.get());
  return cells::isPair(key) && isNameAtom(cells::leftOf(key)) && isNameAtom(cells::rightOf(key));
}

Handle pairPatternPass(const Handle& term) {
  return rebuild(term.get(), [](Cell* original, Handle f, Handle c) {
    if (!isPairPattern(f)) return samePair(original, std::move(f), std::move(c));
    const Cell* key = terms::curlyHeadKey(f.get());
    Handle p(cells::leftOf(key));
    Handle q = cells::makeAtom(front::canonicalName(cells::text(cells::rightOf(key))));
    Handle curly = cells::makeAtom("{");
    Handle b(cells::rightOf(f.get()));
    Handle second = cells::makePair(curly, q, cells::makePair(q, cells::common(cells::Common::H)), c);
    Handle first = cells::makePair(curly, p, cells::makePair(q, cells::common(cells::Common::K)), second);
    return cells::makePair(curly, q, b, first);
  });
}

// The binder names of a term in the order they first appear.
static std::vector<std::string> binderNames(const Cell* term) {
  std::vector<std::string> names;
  terms::forEachBinder(term, [&](const Cell* c) {
    std::string name(cells::text(terms::binderKey(c)));
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  });
  return names;
}

// Decision: places go to binder names in order of first appearance, skipping the
// letters free in the definition, so a renamed binder never captures a free letter.
static bool assignPlaces(const Cell* term, std::map<std::string, Handle, std::less<>>& places) {
  uint32_t free = terms::freeLetters(term);
  char next = 'a';
  for (const std::string& name : binderNames(term)) {
    while (next <= 'z' && (free >> (next - 'a') & 1)) ++next;
    if (next > 'z') return false;
    places[name] = cells::makeAtom(std::string(1, next++));
  }
  return true;
}

// Renames keys and the occurrences they bind; free occurrences keep their names.
struct Renamer {
  std::map<std::string, Handle, std::less<>> places;
  std::map<std::string, int, std::less<>> bound;
  std::vector<Handle> results;
  enum Kind { Visit, Build, Enter, Leave, Key };
  struct Task {
    Kind kind;
    Cell* cell;
  };
  std::vector<Task> work;

  Handle place(Cell* key) {
    auto it = places.find(cells::text(key));
    return it == places.end() ? Handle(key) : it->second;
  }
  // key then body, with the key's name bound while the body is visited
  void scoped(Cell* key, Cell* body) { work.insert(work.end(), {{Leave, key}, {Visit, body}, {Enter, key}}); }
  void visitPair(Cell* c) {
    work.push_back({Build, c});
    if (terms::isLambda(c)) {
      scoped(const_cast<Cell*>(terms::lambdaKey(c)), cells::rightOf(c));
      work.push_back({Key, cells::leftOf(c)});
    } else if (terms::isCurly(c)) {
      scoped(const_cast<Cell*>(terms::curlyKey(c)), cells::rightOf(c));
      work.insert(work.end(), {{Build, cells::leftOf(c)},
                               {Visit, cells::rightOf(cells::leftOf(c))},
                               {Key, cells::leftOf(cells::leftOf(c))}});
    } else {
      work.insert(work.end(), {{Visit, cells::rightOf(c)}, {Visit, cells::leftOf(c)}});
    }
  }
  void visitAtom(Cell* c) {
    auto it = bound.find(cells::text(c));
    results.push_back(it != bound.end() && it->second > 0 ? place(c) : Handle(c));
  }
  void build(Cell* original) {
    Handle right = std::move(results.back());
    results.pop_back();
    Handle left = std::move(results.back());
    results.pop_back();
    results.push_back(samePair(original, std::move(left), std::move(right)));
  }
  void step(Task t) {
    std::string_view name = cells::isAtom(t.cell) ? cells::text(t.cell) : std::string_view();
    switch (t.kind) {
      case Visit: return cells::isAtom(t.cell) ? visitAtom(t.cell) : visitPair(t.cell);
      case Build: return build(t.cell);
      case Enter: ++bound[std::string(name)]; return;
      case Leave: --bound.find(name)->second; return;
      case Key:  // (\ X) or ({ X): the binder atom applied to its renamed key
        results.push_back(cells::makePair(Handle(cells::leftOf(t.cell)), place(cells::rightOf(t.cell))));
        return;
    }
  }
  Handle run(Cell* root) {
    work.push_back({Visit, root});
    while (!work.empty()) {
      Task t = work.back();
      work.pop_back();
      step(t);
    }
    return std::move(results.back());
  }
};

bool renameBinders(Handle& term) {
  Renamer r;
  if (!assignPlaces(term.get(), r.places)) return false;
  term = r.run(term.get());
  return true;
}

}  // namespace compile
