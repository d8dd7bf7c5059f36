// The fast machine's rewrites at once (part of eval/machine_steps.h, which includes
// it after the machine's own steps): where the reference would evaluate a part of a
// reduct next, or where that can have no effect, the part is evaluated as the reduct
// is built, and the reduct is never built whole.
//   - arguments at once: a saturated call's arguments that are evaluated next
//     (argumentsAtOnce), and the argument a built argument list evaluates first
//     (argumentAtOnce);
//   - selections and tests at once: a pair given its selector (selectAtOnce), a test
//     whose selector is bound (decideTests) or that a built-in decides
//     (decisionAtOnce, testValue), a false value given both branches
//     (takeSecondBranch);
//   - strict bindings at once: a binding whose value is made at once (bindAtOnce,
//     buildValue, callsBuiltinAtOnce).
// Each is counted as the steps it stands for, so that the plain and the observing
// machine count the same.
#pragma once

#include "eval/machine_steps.h"

namespace eval {
namespace {

// e = (h a1 .. an), saturated, h a name whose arguments are evaluated first: the
// arguments that the reference evaluates next are evaluated now, from the leftmost
// that is not a value, while that can have no effect (valueAtOnce), and e is
// rebuilt with their values. True when every argument is then a value.
template <bool kObserve>
bool Machine<kObserve>::argumentsAtOnce() {
  Cell* spine[8];  // the arguments, the last first
  int n = 0;
  Cell* head = e_.get();
  for (; cells::isPair(head) && !cells::isDataMarked(head); head = cells::leftOf(head)) {
    if (n == 8) return false;
    spine[n++] = cells::rightOf(head);
  }
  int first = n - 1;  // the leftmost argument that is not a value
  while (first >= 0 && isValue(spine[first])) --first;
  if (first < 0 || !mayHaveValueAtOnce(spine[first]) || !isName(head)) return false;
  HeadKind kind = resolve(head).kind;
  if (kind != HeadKind::builtin && kind != HeadKind::defined) return false;
  int next = first;
  for (; next >= 0; --next) {
    if (isValue(spine[next])) {
      further_.emplace_back(spine[next]);
      continue;
    }
    Handle v = valueAtOnce(spine[next]);
    if (!v) break;
    further_.push_back(std::move(v));
    if (!isValue(further_.back().get())) {
      --next;
      break;
    }
  }
  if (further_.empty()) return false;
  Cell* prefix = e_.get();
  for (int i = 0; i <= first; ++i) prefix = cells::leftOf(prefix);
  Handle e(prefix);
  for (Handle& a : further_) e = apply(std::move(e), std::move(a));
  for (; next >= 0; --next) e = apply(std::move(e), Handle(spine[next]));
  further_.clear();
  e_ = std::move(e);
  return !cells::annotationFlag(e_.get());  // every argument a value
}

// The quick look before valueAtOnce: a saturated application given values, or a
// pair given a selector.
template <bool kObserve>
bool Machine<kObserve>::mayHaveValueAtOnce(const Cell* a) {
  if (!cells::isPair(a) || cells::isDataMarked(a)) return false;
  if (isTest(cells::leftOf(a))) return true;
  return cells::annotationValue(a) == 0 && !cells::annotationFlag(a) && isShortNumeral(cells::rightOf(a));
}

// A built argument evaluated now where that can have no effect: a pure built-in
// applied to short integers, or a pair's part chosen by a selector ((V x y) H).
// Null otherwise, nothing done.
template <bool kObserve>
Handle Machine<kObserve>::valueAtOnce(Cell* a) {
  if (!cells::isPair(a) || cells::isDataMarked(a)) return Handle();
  Cell* f = cells::leftOf(a);
  if (isTest(f) && !cells::isDataMarked(cells::rightOf(a))) {  // ((P x) y) S
    const Cell* p = cells::leftOf(cells::leftOf(f));
    if (!namesPair(p)) return Handle();
    Selection selection = selectorKind(cells::rightOf(a));
    if (selection.choice == 0) return Handle();
    takePairPart(selection, p);
    return Handle(selection.choice == 1 ? cells::rightOf(cells::leftOf(f)) : cells::rightOf(f));
  }
  if (cells::annotationValue(a) != 0 || cells::annotationFlag(a)) return Handle();
  int n = 0;
  const Cell* c = a;
  for (; cells::isPair(c); c = cells::leftOf(c), ++n)
    if (!isShortNumeral(cells::rightOf(c))) return Handle();
  if (!isName(c)) return Handle();
  const Resolution& r = resolve(c);
  if (r.kind != HeadKind::builtin || !r.builtin->pure || r.builtin->arity != n) return Handle();
  ++stepCount();
  return callBuiltin(*r.builtin, Handle(a));
}

// A pair given its selector, (\a\b\c\c a b) x y s, with s a first selector
// (\a\b\a) or a constant (\a\X) whose X is the identity (\a\a): the reduct is
// the body's a or b, the selector's rewrites made at once (s x y => x; or s x y =>
// X y => y). They can have no effect. s and X must be names that never duplicate an
// argument (the prelude's K, H and I), whose rewrites the machine takes at once
// anyway: the steps counted for them stay what they were. Any other call keeps its
// body. The observing machine takes the rewrites one by one, as it counts the
// prelude's calls.
template <bool kObserve>
Cell* Machine<kObserve>::selectAtOnce(const DefinitionShape& shape) {
  Cell* body = shape.body;
  if constexpr (kObserve) return body;
  if (shape.form != DefinitionShape::Form::pair) return body;
  switch (selectorChoice(places_.values[shape.places[2]])) {
    case 1: return shape.parts[0];
    case 2: return shape.parts[1];
    default: return body;
  }
}

// Which argument the selector s takes of two, x and y, with no effect: 1 when s is a
// first selector (\a\b\a: s x y => x), 2 when it is a constant (\a\X) whose X is
// the identity (\a\a: s x y => X y => y), 0 otherwise. s and X must be names that
// never duplicate an argument (the prelude's K, H and I). When it chooses, the
// steps of its rewrites are counted as the machine counts them and the definitions
// entered are noted for hints.
template <bool kObserve>
int Machine<kObserve>::selectorChoice(const Cell* s) {
  const Selection& selection = selectorKind(s);
  if (selection.choice) noteSelection(selection);
  return selection.choice;
}

// What selectorChoice finds, with no side effect: read once per name and kept in its
// resolution while the terms it was read from stand (see SelectionMemo). The
// reference is good until more names resolve.
template <bool kObserve>
const Selection& Machine<kObserve>::selectorKind(const Cell* s) {
  static const Selection kNone;
  if (!cells::isAtom(s) || cells::isDataMarked(s) || !isNonDuplicating(s)) return kNone;
  const Resolution& selector = resolve(s);
  if (selector.kind != HeadKind::defined || !selector.definition || selector.unit) return kNone;
  const SelectionMemo& memo = selector.selection;
  if (memo.term == selector.definition->get() &&
      (!memo.constant || memo.constant->get() == memo.constantTerm)) [[likely]]
    return memo.selection;
  return readSelection(selector);
}

// The selection of a defined name, read from its definition and kept in `selector`.
template <bool kObserve>
const Selection& Machine<kObserve>::readSelection(const Resolution& selector) {
  const cells::Handle* definition = selector.definition;
  const cells::Handle* entered = selector.entered;  // `selector` moves when more names resolve
  const Cell* atom = selector.atom;
  const DefinitionShape& chosen = shapeOf(selector);
  SelectionMemo memo;
  memo.term = definition->get();
  memo.selection.selector = atom;
  memo.selection.entered = entered;
  if (chosen.form == DefinitionShape::Form::first) {
    memo.selection.choice = 1;
  } else if (chosen.form == DefinitionShape::Form::constant) {
    const Cell* x = chosen.body;
    if (isNonDuplicating(x)) {
      const Resolution& constant = resolve(x);
      memo.constant = constant.definition;
      memo.constantTerm = constant.definition ? constant.definition->get() : nullptr;
    }
    if (namesIdentity(x, memo.selection.then)) {
      memo.selection.choice = 2;
      memo.selection.constant = x;
    }
  }
  if (memo.selection.choice == 0) memo.selection = Selection();
  const Resolution& again = resolve(atom);  // the entries may have moved
  again.selection = memo;
  return again.selection.selection;
}

// A selection made at once: its steps counted as the machine counts them (s x y =>
// x; or s x y => X, pending y, X y => y), the definitions entered noted for hints,
// the prelude's calls counted for the profile.
template <bool kObserve>
void Machine<kObserve>::noteSelection(const Selection& selection) {
  stepCount() += selection.choice == 1 ? 1 : 3;
  if (selection.entered) lastEntered() = selection.entered;
  if (selection.then) lastEntered() = selection.then;
  countCombinators(selection.selector, selection.constant);
}

// The profile's count of the prelude's calls, for a selection made at once: the
// selector s and the constant X it gives (or null).
template <bool kObserve>
void Machine<kObserve>::countCombinators(const Cell* s, const Cell* x) {
  if constexpr (kObserve) {
    if (!observation().profiling()) return;
    callProfile().countCombinator(cells::firstByte(s));
    if (x) callProfile().countCombinator(cells::firstByte(x));
  }
}

// A part t of a reduct whose evaluation begins with it, with its leading tests
// decided: a test (s x y) whose s is bound to a selector (selectorChoice) goes on as
// the branch chosen, and the other is never built. The reference builds the test
// and evaluates it to that branch at once, with no effect on the way. Given
// `built`, a test ((f a b) x y) of a pure built-in f on short integers is decided
// too, f called now (the part is the reduct itself or a strict binding's value,
// where the reference calls f first); when f's value is no selector, t is built
// with that value in its place, into `built`, and the result is null. The observing
// machine decides the same way, so that both count the same steps, and counts the
// prelude's calls each choice stands for.
template <bool kObserve>
Cell* Machine<kObserve>::decideTests(Cell* t, Handle* built) {
  while (isTest(t)) {
    Cell* f = cells::leftOf(t);
    const Cell* test = cells::leftOf(f);
    int choice;
    if (cells::isAtom(test)) {
      if (!terms::isLetterAtom(test) || (places_.letters & terms::letterBit(test)) == 0) return t;
      choice = selectorChoice(places_.values[cells::firstByte(test) - 'a']);
      if (choice == 0) return t;
    } else {
      if (!built || !givenValue(test)) return t;
      Handle value;
      const Cell* truth = decisionAtOnce(test);
      if (!truth) {
        if (!(value = testValue(test, false))) return t;
        truth = value.get();
      }
      choice = selectorChoice(truth);
      if (choice == 0) {
        if (!value) value = Handle(const_cast<Cell*>(truth));
        *built = apply(apply(std::move(value), instantiate(cells::rightOf(f), places_)),
                       instantiate(cells::rightOf(t), places_));
        return nullptr;
      }
    }
    t = choice == 1 ? cells::rightOf(f) : cells::rightOf(t);
  }
  return t;
}

// The quick look before decideTests: whether t is a test that it may decide.
template <bool kObserve>
inline bool Machine<kObserve>::mayDecide(const Cell* t, bool builtins) {
  if (!isTest(t)) return false;
  const Cell* test = cells::leftOf(cells::leftOf(t));
  if (cells::isAtom(test))
    return terms::isLetterAtom(test) && (places_.letters & terms::letterBit(test)) != 0;
  return builtins && givenValue(test);
}

// Whether t has the shape of a test with both branches, (s x y), for decideTests.
template <bool kObserve>
inline bool Machine<kObserve>::isTest(const Cell* t) {
  if (!cells::isPair(t) || cells::isDataMarked(t)) return false;
  const Cell* f = cells::leftOf(t);
  return cells::isPair(f) && !cells::isDataMarked(f);
}

// Whether the application `test`'s last argument is a short integer (a numeral, or
// a letter bound to one): the quick look before testValue.
template <bool kObserve>
inline bool Machine<kObserve>::givenShortInteger(const Cell* test) {
  const Cell* a = cells::rightOf(test);
  if (terms::isLetterAtom(a)) {
    if ((places_.letters & terms::letterBit(a)) == 0) return false;
    a = places_.values[cells::firstByte(a) - 'a'];
  }
  return isShortNumeral(a);
}

// Whether the application `test`'s last argument may be a value that testValue
// takes: a constant atom, a bound letter, or a pair's part (l K).
template <bool kObserve>
inline bool Machine<kObserve>::givenValue(const Cell* test) {
  const Cell* a = cells::rightOf(test);
  if (cells::isPair(a)) a = cells::leftOf(a);
  return !terms::isLetterAtom(a) || (places_.letters & terms::letterBit(a)) != 0;
}

// The value of the application `test` when its head is a pure built-in (any
// built-in when `effects`: the caller evaluates it first, where the reference does)
// given values (numerals and other atoms, bound letters, pairs' parts chosen by a
// selector, all short integers when `shortIntegers`): the parts chosen and the
// built-in called, one step each. Null otherwise, nothing done.
template <bool kObserve>
Handle Machine<kObserve>::testValue(const Cell* test, bool shortIntegers, bool effects) {
  const Cell* parts[4];  // the last first
  int n = 0;
  for (; cells::isPair(test) && !cells::isDataMarked(test); test = cells::leftOf(test)) {
    if (n == 4) return Handle();
    parts[n++] = cells::rightOf(test);
  }
  if (n == 0 || !isName(test)) return Handle();
  const Resolution& resolution = resolve(test);
  if (resolution.kind != HeadKind::builtin || (!resolution.builtin->pure && !effects) ||
      resolution.builtin->arity != n)
    return Handle();
  const library::BuiltinEntry& entry = *resolution.builtin;
  const Cell* values[4];  // the first first, as the built-in takes them
  for (int i = 0; i < n; ++i) {
    if (cells::isPair(parts[i])) return testValueOfParts(entry, test, parts, n, shortIntegers);
    if (!(values[n - 1 - i] = argumentValue(parts[i], shortIntegers))) return Handle();
  }
  return callBuiltinOn(entry, test, values, n);
}

// The truth value ("K" or "H") of the application `test` when it is a comparison
// given two values that it decides at once (BuiltinEntry::decide): the built-in's step
// counted as its call counts it, and no cell made. Null otherwise, nothing done; the
// call then answers through testValue.
template <bool kObserve>
const Cell* Machine<kObserve>::decisionAtOnce(const Cell* test) {
  const Cell* f = cells::leftOf(test);
  if (!cells::isPair(f) || cells::isDataMarked(f) || !isName(cells::leftOf(f))) return nullptr;
  const Cell* first = cells::rightOf(f);
  const Cell* second = cells::rightOf(test);
  if (cells::isPair(first) || cells::isPair(second)) return nullptr;  // pairs' parts: testValue
  const Resolution& resolution = resolve(cells::leftOf(f));
  if (resolution.kind != HeadKind::builtin || !resolution.builtin->decide) return nullptr;
  const library::BuiltinEntry& entry = *resolution.builtin;
  const Cell* values[2] = {argumentValue(first, false), argumentValue(second, false)};
  if (!values[0] || !values[1]) return nullptr;
  int decision = entry.decide(values);
  if (decision < 0) return nullptr;
  ++stepCount();
  if constexpr (kObserve)
    if (observation().profiling()) callProfile().countBuiltin(&entry);
  const Cell* truth = common(decision ? cells::Common::K : cells::Common::H).get();
  afterBuiltinCall(nullptr, truth);
  return truth;
}

// testValue where some argument is a pair's part to be chosen first.
template <bool kObserve>
Handle Machine<kObserve>::testValueOfParts(const library::BuiltinEntry& entry, const Cell* head,
                                           const Cell* const* parts, int n, bool shortIntegers) {
  const Cell* values[4];  // the first first
  Selection selections[4];
  const Cell* pairs[4] = {};
  for (int i = 0; i < n; ++i) {
    const Cell* a = cells::isPair(parts[i]) ? pairPart(parts[i], selections[i], pairs[i]) : parts[i];
    if (!a || !(values[n - 1 - i] = argumentValue(a, shortIntegers))) return Handle();
  }
  for (int i = 0; i < n; ++i)
    if (pairs[i]) takePairPart(selections[i], pairs[i]);
  return callBuiltinOn(entry, head, values, n);
}

// The value that an argument of testValue stands for: a bound letter's value, or
// the cell itself; null when it is not a value (not a short integer, when asked).
template <bool kObserve>
inline const Cell* Machine<kObserve>::argumentValue(const Cell* a, bool shortIntegers) {
  if (terms::isLetterAtom(a)) {
    if ((places_.letters & terms::letterBit(a)) == 0) return nullptr;
    a = places_.values[cells::firstByte(a) - 'a'];
  }
  bool taken = shortIntegers ? isShortNumeral(a) : isValue(const_cast<Cell*>(a));
  return taken ? a : nullptr;
}

// The built-in `head` called on n values, given the first first: one step. The
// application is built only for the note of a "Z" answer.
template <bool kObserve>
inline Handle Machine<kObserve>::callBuiltinOn(const library::BuiltinEntry& entry, const Cell* head,
                                               const Cell* const* values, int n) {
  ++stepCount();
  auto application = [&] {
    Handle a(const_cast<Cell*>(head));
    for (int i = 0; i < n; ++i) a = apply(std::move(a), Handle(const_cast<Cell*>(values[i])));
    return a;
  };
  if (!entry.onArguments) return callBuiltin(entry, application());
  if constexpr (kObserve)
    if (observation().profiling()) callProfile().countBuiltin(&entry);
  Handle r = entry.onArguments(values);
  afterBuiltinCall(isZAnswer(r.get()) ? application().get() : nullptr, r.get());
  if (isFinal(r.get())) frames_.clear();
  return r;
}

// Whether c is a name that never duplicates an argument and whose definition is
// the identity (\a\a, the prelude's I); `entered` is set to its entry for hints.
template <bool kObserve>
bool Machine<kObserve>::namesIdentity(const Cell* c, const cells::Handle*& entered) {
  if (!isNonDuplicating(c)) return false;
  const Resolution& r = resolve(c);
  if (r.kind != HeadKind::defined || !r.definition || r.unit) return false;
  entered = r.entered;
  return shapeOf(r).form == DefinitionShape::Form::identity;
}

// A constant whose constant is the identity (the prelude's false value H = \a\I)
// given its argument a and one pending argument b more: (H a) b => I b => b, the
// two rewrites made at once and counted as the machine counts them (the rewrite of
// H a, the pending b, I b). a is never built; b is built only when it is taken, as
// the identity's argument is. A test's false branch goes on this way.
template <bool kObserve>
bool Machine<kObserve>::takeSecondBranch(const DefinitionShape& shape) {
  std::size_t n = frames_.size();
  if (n < 2 || !frames_[n - 2].pending || !cells::isAtom(shape.body)) return false;
  const cells::Handle* then = nullptr;
  if (!namesIdentity(shape.body, then)) return false;
  stepCount() += 2;
  if (then) lastEntered() = then;
  frames_.pop_back();  // a
  Frame b = std::move(frames_.back());
  frames_.pop_back();
  args_.clear();
  if (!b.bindings.get()) {
    e_ = std::move(b.cell);
    return true;
  }
  restorePlaces(*b.bindings.get());
  become(b.cell.get(), 0);
  return true;
}

// An argument that the reference evaluates next, evaluated now where that can have
// no effect: a pure built-in on short integers (n - 1), or the part of a pair chosen
// by a selector (l H, l bound to V x y; the prelude's pair and selectors or any of
// the same shapes, as selectAtOnce takes them). Null otherwise, nothing done.
template <bool kObserve>
Handle Machine<kObserve>::argumentAtOnce(const Cell* part) {
  if (givenShortInteger(part))
    if (Handle v = testValue(part, true)) return v;
  Selection selection;
  const Cell* pair = nullptr;
  const Cell* chosen = pairPart(part, selection, pair);
  if (!chosen) return Handle();
  takePairPart(selection, pair);
  return Handle(const_cast<Cell*>(chosen));
}

// The part that a selector chooses of a pair, with no side effect: `part` is (l S),
// l bound to a pair (P x y) (the prelude's V or any of its shape), S a selector or
// a letter bound to one. Sets the selection and the pair's head P; null otherwise.
template <bool kObserve>
const Cell* Machine<kObserve>::pairPart(const Cell* part, Selection& selection, const Cell*& pair) {
  const Cell* l = cells::leftOf(part);
  const Cell* selector = cells::rightOf(part);
  if (!terms::isLetterAtom(l) || (places_.letters & terms::letterBit(l)) == 0) return nullptr;
  const Cell* value = places_.values[cells::firstByte(l) - 'a'];
  if (!isTest(value)) return nullptr;  // ((P x) y)
  const Cell* p = cells::leftOf(cells::leftOf(value));
  if (!namesPair(p)) return nullptr;
  if (terms::isLetterAtom(selector)) {
    if ((places_.letters & terms::letterBit(selector)) == 0) return nullptr;
    selector = places_.values[cells::firstByte(selector) - 'a'];
  }
  selection = selectorKind(selector);
  if (selection.choice == 0) return nullptr;
  pair = p;
  return selection.choice == 1 ? cells::rightOf(cells::leftOf(value)) : cells::rightOf(value);
}

// Whether p is a name that never duplicates an argument and whose definition is a
// pair (\a\b\c\c a b, the prelude's V).
template <bool kObserve>
bool Machine<kObserve>::namesPair(const Cell* p) {
  if (!isName(p) || !isNonDuplicating(p)) return false;
  const Resolution& r = resolve(p);
  return r.kind == HeadKind::defined && r.definition && !r.unit &&
         shapeOf(r).form == DefinitionShape::Form::pair;
}

// A pair's part taken at once: the pair's rewrite and the selector's counted.
template <bool kObserve>
void Machine<kObserve>::takePairPart(const Selection& selection, const Cell* pair) {
  ++stepCount();  // the pair's own rewrite
  countCombinators(pair, nullptr);
  noteSelection(selection);
}

// Whether the saturated application of f evaluates its arguments before it is
// rewritten: f's head is a built-in or a name that may duplicate an argument.
template <bool kObserve>
bool Machine<kObserve>::evaluatesArguments(const Cell* f) {
  const Cell* head = spineHead(const_cast<Cell*>(f));
  if (!isName(head) || isNonDuplicating(head)) return false;
  HeadKind kind = resolve(head).kind;
  return kind == HeadKind::builtin || kind == HeadKind::defined;
}

// t = X{B}C: B is built; when it is a value, X joins the bindings and t moves on to
// C, whose reduct is made at once (the reference builds X{B'}C', finds B' a value
// and substitutes it into C'); otherwise B is evaluated first, under a binding frame
// that finishes C when B's value comes. False for any other t, or one whose B is
// given no bindings at all (it is built as it stands).
template <bool kObserve>
inline Binding Machine<kObserve>::bindAtOnce(Cell*& t) {
  ensureAnnotated(t);
  if (!terms::isCurly(t) || (terms::cachedMask(t) & places_.letters) == 0) return Binding::none;
  const Cell* key = terms::curlyKey(t);
  char letter = terms::isLetterAtom(key) ? char(cells::firstByte(key)) : 0;
  Cell* body = cells::rightOf(t);
  Handle b;
  Cell* chosen = cells::rightOf(cells::leftOf(t));
  if (mayDecide(chosen, true)) chosen = decideTests(chosen, &b);
  if (chosen && cells::isPair(chosen) && !cells::isDataMarked(chosen) && givenShortInteger(chosen))
    b = testValue(chosen, true, true);  // fgetc(f), isspace(c), n + 1
  bool callNow = false;
  bool called = false;
  if (chosen && !b) b = buildValue(chosen, callNow, called);
  if (!isValue(b.get()) && (called || callsBuiltinAtOnce(b, callNow)) && isFinal(b.get())) {
    e_ = std::move(b);  // every frame is dropped: the run's value
    return Binding::waiting;
  }
  if (isValue(b.get())) {
    ++stepCount();
    if (letter) places_.bind(static_cast<unsigned char>(letter), b.get());
    held_.push_back(std::move(b));  // held until the rewrite is done
    t = body;
    return Binding::bound;
  }
  uint32_t inBody = terms::cachedMask(body) & places_.letters;
  if (letter) inBody &= ~terms::letterBit(key);
  frames_.push_back({Handle(body), BindingsRef(capture(inBody)), false, letter});
  e_ = std::move(b);
  return Binding::waiting;
}

// A strict binding's value B, built: when B is the saturated application of a
// built-in or of a name that may duplicate an argument, the argument that the
// reference evaluates first, every one before it being a value, is evaluated as it
// is built where that can have no effect (argumentAtOnce): zits(c) + line is built
// as [b] + line. Anything else is built as substitution builds it. A built-in given
// values is then called now (`called`, the result given), with no application built
// unless it may grow its first argument in place; `callNow` tells the caller to call
// the application built.
template <bool kObserve>
Handle Machine<kObserve>::buildValue(Cell* b, bool& callNow, bool& called) {
  const Cell* parts[4];  // the last first
  int n = 0;
  Cell* c = b;
  for (; cells::isPair(c) && !cells::isDataMarked(c) && (terms::cachedMask(c) & places_.letters) != 0 &&
         !terms::isLambda(c) && !terms::isCurly(c);
       c = cells::leftOf(c)) {
    if (n == 4) return instantiate(b, places_);
    parts[n++] = cells::rightOf(c);
  }
  auto open = [&](const Cell* part) {
    return cells::isPair(part) && (terms::cachedMask(part) & places_.letters);
  };
  if (std::none_of(parts, parts + n, open) || !cells::isAtom(c) || terms::isLetterAtom(c) ||
      cells::isDataMarked(c) || cells::annotationValue(c) != n || !evaluatesArguments(c))
    return instantiate(b, places_);
  Handle values[4];  // the first first
  bool valuesSoFar = true;
  for (int i = n; i-- > 0;) {
    Cell* part = const_cast<Cell*>(parts[i]);
    Handle& v = values[n - 1 - i];
    if (valuesSoFar && open(part)) v = argumentAtOnce(part);
    if (!v) v = instantiate(part, places_);
    valuesSoFar = valuesSoFar && isValue(v.get());
  }
  // A built-in given values is called now, unless it may grow its first argument
  // and a bound letter gives it: the rewrite under way holds that value too, where
  // the reference's application alone may hold it (s + zits(c) grows s in place).
  // The application is built for a call that may grow a first argument that nothing
  // else holds, which the built-in finds by the application's references.
  if (valuesSoFar) {
    const Resolution& r = resolve(c);
    bool builtin = r.kind == HeadKind::builtin;
    bool letterFirst = terms::isLetterAtom(parts[n - 1]);
    if (builtin && r.builtin->onArguments && r.builtin->arity == n &&
        (!r.builtin->growsFirst || (!letterFirst && cells::refCount(values[0].get()) > 1))) {
      const Cell* arguments[4] = {};
      for (int i = 0; i < n; ++i) arguments[i] = values[i].get();
      called = true;
      return callBuiltinOn(*r.builtin, c, arguments, n);
    }
    callNow = builtin && (!r.builtin->growsFirst || !letterFirst);
  }
  Handle application(c);
  for (int i = 0; i < n; ++i) application = apply(std::move(application), std::move(values[i]));
  return application;
}

// B of a strict binding, built: when it is a built-in applied to short integers
// (fgetc(f), n+1, isspace(c)), or to any values when `anyValues`, the built-in is
// called now and b becomes its result, one step counted, as the reference calls it
// at its next step (nothing happens between). The binding then needs no frame, and
// its body's values are not captured, when the result is a value. Short integers
// otherwise: the rewrite under way still holds its arguments, so a built-in would
// not find a text or a long number held by the application alone, to grow it in
// place.
template <bool kObserve>
bool Machine<kObserve>::callsBuiltinAtOnce(Handle& b, bool anyValues) {
  Cell* c = b.get();
  if (!cells::isPair(c) || cells::annotationValue(c) != 0 || cells::annotationFlag(c)) return false;
  for (const Cell* a = c; cells::isPair(a) && !anyValues; a = cells::leftOf(a))
    if (!isShortNumeral(cells::rightOf(a))) return false;
  Cell* head = spineHead(c);
  if (!isName(head)) return false;
  const Resolution& resolution = resolve(head);
  if (resolution.kind != HeadKind::builtin) return false;
  const library::BuiltinEntry& entry = *resolution.builtin;
  ++stepCount();
  Handle application = std::move(b);  // held once, as e_ holds an application given to a built-in
  b = callBuiltin(entry, application);
  return true;
}

}  // namespace
}  // namespace eval
