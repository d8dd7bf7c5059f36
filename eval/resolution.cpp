// The per-atom resolution cache of head names.
#include "eval/resolution.h"

#include <deque>
#include <vector>

#include "front/definitions.h"
#include "terms/shapes.h"

namespace eval {

using cells::Cell;

namespace {

struct Cache {
  std::vector<Resolution> entries;
  std::deque<DefinitionShape> shapes;  // never moved: entries point into it
  Resolution unslotted;                // the latest head that keeps no slot
  DefinitionShape unslottedShape;
  unsigned long long generation = ~0ull;
  const front::Definitions& table = front::definitions();  // its size is read at every call
  std::size_t tableSize = 0;
};

Cache& cache() {
  static Cache c;
  return c;
}

// A letter atom that is the place of parameter i.
bool isParameter(const DefinitionShape& s, const Cell* c, int i) {
  return terms::isLetterAtom(c) && s.places[i] >= 0 && cells::firstByte(c) - 'a' == s.places[i];
}

DefinitionShape::Form formOf(DefinitionShape& s) {
  using Form = DefinitionShape::Form;
  const Cell* b = s.body;
  bool distinct =
      s.parameters < 2 || (s.places[0] != s.places[1] &&
                           (s.parameters < 3 || (s.places[2] != s.places[0] && s.places[2] != s.places[1])));
  if (!distinct) return Form::other;
  if (s.parameters == 1) {
    if (isParameter(s, b, 0)) return Form::identity;
    return cells::isAtom(b) && !terms::isLetterAtom(b) ? Form::constant : Form::other;
  }
  if (s.parameters == 2) return isParameter(s, b, 0) ? Form::first : Form::other;
  if (s.parameters != 3 || !cells::isPair(b) || !cells::isPair(cells::leftOf(b))) return Form::other;
  Cell* a = cells::rightOf(cells::leftOf(b));
  if (!isParameter(s, cells::leftOf(cells::leftOf(b)), 2) || !isParameter(s, a, 0) ||
      !isParameter(s, cells::rightOf(b), 1))
    return Form::other;
  s.parts[0] = a;
  s.parts[1] = cells::rightOf(b);
  return Form::pair;
}

// The shape of a definition's term, read once (see DefinitionShape).
void readShape(DefinitionShape& s, cells::Cell* term) {
  s.term = term;
  s.parameters = 0;
  for (; s.parameters < DefinitionShape::kMaxParameters && terms::isLambda(term);
       term = cells::rightOf(term)) {
    const Cell* key = terms::lambdaKey(term);
    s.places[s.parameters++] = terms::isLetterAtom(key) ? int8_t(cells::firstByte(key) - 'a') : int8_t(-1);
  }
  if (!cells::isAnnotated(term)) terms::annotate(term);
  s.body = term;
  s.usedByBody = terms::cachedMask(term);
  s.form = formOf(s);
}

// A definition that is only another name (the prelude's "+" is `plus`, "." is `T`)
// resolves to what that name is, so that its call is one rewrite, not two. The
// analysis gives such a name the arity of its target, so the arguments match.
// Unit definitions are not followed: their value must still be written back.
void followAliases(Resolution& r) {
  auto& table = front::definitions();
  for (int hops = 0;
       hops < front::kAliasHops && r.definition && !r.unit && cells::isAtom(r.definition->get()); ++hops) {
    std::string_view target = cells::text(r.definition->get());
    if (target.empty() || target[0] == '[') return;
    if (const library::BuiltinEntry* builtin = library::findBuiltin(target)) {
      r.kind = HeadKind::builtin;
      r.builtin = builtin;
      r.definition = nullptr;
      return;
    }
    auto found = table.find(target);
    if (found == table.end() || &found->second == r.definition) return;
    if (front::isUnitDefinition(target)) return;
    r.definition = &found->second;
  }
}

Resolution computeResolution(const Cell* head) {
  Resolution r;
  r.atom = head;
  if (cells::isPair(head)) return r;
  r.kind = classifyHead(head);
  std::string_view name = cells::text(head);
  if (r.kind == HeadKind::builtin) r.builtin = library::findBuiltin(name);
  if (r.kind != HeadKind::defined || name.empty() || name[0] == '[') return r;
  auto& table = front::definitions();
  if (auto found = table.find(name); found != table.end()) r.definition = &found->second;
  // The prelude's names are one capital letter or one operator character.
  bool prelude = name.size() == 1 && !(name[0] >= 'a' && name[0] <= 'z');
  if (!prelude) r.entered = r.definition;
  r.unit = front::isUnitDefinition(name);
  followAliases(r);
  return r;
}

}  // namespace

// Tells the inline look-up where the entries are now.
static void publish(const Cache& c) {
  resolutionSlots = {c.entries.data(), c.entries.size(), c.generation, c.tableSize, &c.table};
}

const Resolution& resolveSlowly(const Cell* head) {
  Cache& c = cache();
  if (c.generation != front::tablesGeneration() || c.tableSize != c.table.size()) [[unlikely]] {
    c.entries.clear();
    c.shapes.clear();
    c.generation = front::tablesGeneration();
    c.tableSize = c.table.size();
    publish(c);
  }
  bool slotted = cells::headerFieldOf(head) == cells::HeaderField::resolutionSlot;
  if (slotted) {
    uint64_t slot = cells::lengthCache(head);
    if (slot > 0 && slot <= c.entries.size() && c.entries[slot - 1].atom == head) return c.entries[slot - 1];
  }
  // A head that cannot keep a slot (a numeral, a byte string, an "@" node) would never
  // find its entry again: it is resolved afresh each time and not added, so that a
  // loop applying numerals does not grow the cache by an entry per call.
  if (!slotted || c.entries.size() + 1 >= cells::kLengthLimit) {
    c.unslotted = computeResolution(head);
    c.unslottedShape.term = nullptr;
    if (c.unslotted.definition && !c.unslotted.unit) c.unslotted.shape = &c.unslottedShape;
    return c.unslotted;
  }
  c.entries.push_back(computeResolution(head));
  Resolution& r = c.entries.back();
  if (r.definition && !r.unit) r.shape = &c.shapes.emplace_back();
  cells::setLengthCache(const_cast<Cell*>(head), c.entries.size());
  publish(c);
  return c.entries.back();
}

const DefinitionShape& readShapeAgain(const Resolution& r) {
  readShape(*r.shape, r.definition->get());
  return *r.shape;
}

}  // namespace eval
