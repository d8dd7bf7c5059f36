// The free-letter mask and the graph annotation, once per cell, cached in the
// header. Both walks keep explicit work lists: terms may be a million cells deep.
#include "terms/annotation.h"

#include <vector>

#include "front/definitions.h"
#include "front/reader.h"
#include "library/builtin_table.h"
#include "terms/shapes.h"
#include "terms/walk.h"

namespace terms {

using cells::Cell;

static constexpr int kUnknown = 11;  // "needs any number of arguments"
static constexpr int kFloor = -51;   // values at or below stay where they are

int leadingLambdas(const Cell* term, int limit) {
  int n = 0;
  for (; n < limit && isLambda(term); term = cells::rightOf(term)) ++n;
  return n;
}

// A global name as the front end spells it once canonical: a definable name other
// than a bracketed operator, or one operator character.
static bool isName(std::string_view t) {
  if (front::isOperatorName(t)) return true;
  return front::isDefinableName(t) && t[0] != '[';
}

// Decision: a definition that is just another defined name (the prelude's "+" is
// `plus`) needs as many arguments as that name. Its call then gathers the same
// arguments at once instead of passing them one by one through the continuation;
// the result is the same. A built-in needs its row's arity: the placeholder of an
// arity-0 built-in is the atom Z, which must not be taken for the combinator Z.
static int argumentsNeeded(const Cell* entry) {
  auto& table = front::definitions();
  for (int hops = 0; hops < front::kAliasHops && cells::isAtom(entry); ++hops) {
    std::string_view name = cells::text(entry);
    if (const library::BuiltinEntry* builtin = library::findBuiltin(name)) return builtin->arity;
    auto it = name.empty() ? table.end() : table.find(name);
    if (it == table.end() || it->second.get() == entry) break;
    entry = it->second.get();
  }
  return leadingLambdas(entry, kUnknown);
}

static void annotateAtom(Cell* c) {
  // The atoms a run makes most (numbers, byte strings, reals) are never names.
  cells::AtomKind kind = cells::atomKind(c);
  if (kind == cells::AtomKind::numeral || kind == cells::AtomKind::countedBinary ||
      kind == cells::AtomKind::fixedBinary)
    return cells::setAnnotation(c, 1);
  std::string_view t = cells::text(c);
  if (!t.empty() && t[0] == '[') return cells::markData(c);
  if (!isName(t)) return cells::setAnnotation(c, 1);
  if (const library::BuiltinEntry* builtin = library::findBuiltin(t))
    return cells::setAnnotation(c, builtin->arity);
  auto& table = front::definitions();
  if (auto it = table.find(t); it != table.end())
    return cells::setAnnotation(c, argumentsNeeded(it->second.get()));
  // Decision: a name that nothing defines and that is not a variable (built at run
  // time, as `cape` of [ab] builds ab) is like any other atom: applied, it gives "Z".
  if (!isLetterAtom(c)) return cells::setAnnotation(c, 1);
  cells::setAnnotation(c, kUnknown);
  cells::setLengthCache(c, letterBit(c));
}

// Decision: ordinary scoping. A lambda has the mask of its body without its key; a
// curly form that of B with the mask of C without its key; a key adds nothing. The
// shape is told from f once: this runs for every pair the machine builds.
struct PairShape {
  uint32_t mask;
  bool lambda;
};

static PairShape shapeOf(const Cell* f, const Cell* x) {
  auto without = [](uint32_t m, const Cell* key) { return isLetterAtom(key) ? m & ~letterBit(key) : m; };
  if (cells::isAtom(f))
    return {cells::isAtomText(f, "\\") || cells::isAtomText(f, "{") ? 0 : cachedMask(f) | cachedMask(x),
            false};
  const Cell* ff = cells::leftOf(f);
  if (cells::isAtomText(ff, "\\")) return {without(cachedMask(x), cells::rightOf(f)), true};  // ((\ X) body)
  if (isCurlyHead(f)) return {cachedMask(f) | without(cachedMask(x), curlyHeadKey(f)), false};
  return {cachedMask(f) | cachedMask(x), false};
}

static void annotateBothData(Cell* p, const Cell* f, const Cell* x) {
  cells::markData(p);
  uint64_t a = cells::lengthCache(f), b = cells::lengthCache(x);
  if (a >= 2 && b >= 2 && a + b < cells::kLengthLimit) cells::setLengthCache(p, a + b);
}

// A value for the flag rule: "@" data, or a cell needing at least one argument.
static bool isValueForFlag(const Cell* c) { return cells::isDataMarked(c) || cells::annotationValue(c) >= 1; }
static bool flagOf(const Cell* c) { return !cells::isDataMarked(c) && cells::annotationFlag(c); }

// Hot: placed with the hot code, beside the machines that call it for nearly every
// pair they build. Linked where its layer falls, 250 KB from them, it cost merge
// sort 2.5% of its time for the same instructions.
[[gnu::hot]] void annotatePair(Cell* p) {
  const Cell* f = cells::leftOf(p);
  const Cell* x = cells::rightOf(p);
  if (cells::isDataMarked(f) && cells::isDataMarked(x)) return annotateBothData(p, f, x);
  PairShape shape = shapeOf(f, x);
  cells::setLengthCache(p, shape.mask);
  // Decision: an abstraction layer is a value, needing one argument, flag clear.
  if (shape.lambda) return cells::setAnnotation(p, 1);
  int v = 0;
  if (!cells::isDataMarked(f)) {
    int vf = cells::annotationValue(f);
    v = (vf == kUnknown || vf <= kFloor) ? vf : vf - 1;
  }
  cells::setAnnotation(p, v);
  cells::setAnnotationFlag(p, flagOf(f) || flagOf(x) || !isValueForFlag(x));
}

void annotate(Cell* term) {
  if (cells::isAnnotated(term)) return;
  // The common cases at run time: a new atom, a new pair over annotated children.
  if (cells::isAtom(term)) return annotateAtom(term);
  if (cells::isAnnotated(cells::leftOf(term)) && cells::isAnnotated(cells::rightOf(term)))
    return annotatePair(term);
  static std::vector<std::pair<Cell*, bool>> work;
  walkChildrenFirst(
      term, work, [](const Cell* c) { return cells::isAnnotated(c); },
      [](Cell* c) {
        if (cells::isAtom(c)) return annotateAtom(c);
        annotatePair(c);
      });
}

uint32_t freeLetters(const Cell* term) {
  int bound[26] = {};  // each letter's count of enclosing binders
  uint32_t mask = 0;
  walkScoped(
      term,
      [&](const Cell* key, int delta) {
        if (isLetterAtom(key)) bound[cells::firstByte(key) - 'a'] += delta;
      },
      [&](const Cell* atom) {
        if (isLetterAtom(atom) && bound[cells::firstByte(atom) - 'a'] == 0) mask |= letterBit(atom);
      });
  return mask;
}

}  // namespace terms
