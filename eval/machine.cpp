// The fast machine. The continuation k of the machine term (k e) is a stack of
// frames: a frame f stands for ((B k') f), waiting for a value v to go on with
// (f v); a pending frame of x for ((B k') (T x)), going on with (v x). The empty
// stack is the atom "I". Each step replaces e and the stack:
//   1. e is a value:       frame f: e := f e;  pending x: e := e x;  pop
//   2. e is over-applied:  e = (e1 x)  =>  push pending x; e := e1
//   3. e is saturated:     e := e'   (reduceSaturated)
//   4. otherwise an argument on e's spine is not yet a value: inner evaluation.
#include "eval/machine.h"

#include <algorithm>
#include <vector>

#include "cells/common_atoms.h"
#include "compile/analysis.h"
#include "compile/terms.h"
#include "eval/engine.h"
#include "eval/instantiate.h"
#include "eval/resolution.h"
#include "eval/rewrites.h"
#include "eval/substitute.h"
#include "library/builtin_table.h"

#ifdef VORL_TRACE_EXECUTION
#include <cstdio>

#include "compile/printer.h"
#endif

namespace eval {

using cells::Cell;
using cells::Handle;
using cells::common;
using cells::makePair;

namespace {

void ensureAnnotated(Cell* c) {
  if (!cells::isAnnotated(c)) compile::annotate(c);
}

// One frame of the continuation: a function waiting for the value, or a pending
// argument that the value will be applied to.
struct Frame {
  Handle cell;
  bool pending;
};

class Machine {
 public:
  Handle run(Handle term);

 private:
  void step();
  void continueWithValue();
  void evaluateFunctionFirst();
  void innerEvaluation();
  void evaluateBindingFirst(Cell* e);
  bool takePendingArguments(int missing);
  bool takeArgumentsForValue();
  void reduceSaturated();
  void collectArguments();

  Handle callBuiltin(const library::BuiltinEntry& entry);
  void bindStrictly(Cell* x, Cell* b, Cell* c);
  void callDefined(Cell* head, const Resolution& resolution);
  std::size_t bindParameters(Cell*& term);

  void become(Cell* t, std::size_t firstExtra);
  int splitApplication(Cell* t, std::size_t firstExtra);
  bool callAtOnce(Cell*& t, std::size_t& firstExtra);
  void buildApplication(std::size_t count);

  void push(Handle cell, bool pending) { frames_.push_back({std::move(cell), pending}); }

  Handle e_;
  std::vector<Frame> frames_;  // the innermost frame last
  std::vector<Cell*> args_;    // of the saturated application, first argument first
  std::vector<Handle> taken_;  // arguments taken from frames, held while they are used
  Places places_;              // the parameters bound for the rewrite under way

  // An application split by `become`: its function part and the arguments given to
  // it, and the arguments of a rewrite taken at once, held while it is instantiated.
  Handle function_;
  std::vector<Handle> further_;
  std::vector<Handle> held_;
  std::vector<Cell*> spine_;
};

Handle Machine::run(Handle term) {
  e_ = std::move(term);
  const unsigned long long budget = stepBudget();
  for (unsigned long long taken = 0;; ++taken) {
    if (budget && taken >= budget) {
      budgetReached() = true;
      return common(cells::Common::Z);
    }
    ensureAnnotated(e_.get());
    if (frames_.empty() && isValue(e_.get())) return std::move(e_);
#ifdef VORL_TRACE_EXECUTION
    std::fprintf(stderr, "frames: %zu\ne: %s\n", frames_.size(), compile::printTerm(e_).c_str());
#endif
    ++stepCount();
    step();
  }
}

void Machine::step() {
  Cell* e = e_.get();
  if (isValue(e)) return continueWithValue();
  int v = cells::annotationValue(e);
  if (v < 0) return evaluateFunctionFirst();
  Cell* head = spineHead(e);
  bool nonDuplicating = isNonDuplicating(head);
  if (v == 0) {
    if (nonDuplicating || !cells::annotationFlag(e)) return reduceSaturated();
    // A strict binding X{B}C whose B is not yet a value evaluates B first.
    if (compile::isCurly(e)) {
      if (isValue(cells::rightOf(cells::leftOf(e)))) return reduceSaturated();
      return evaluateBindingFirst(e);
    }
    return innerEvaluation();
  }
  if (nonDuplicating && takePendingArguments(v)) return reduceSaturated();
  innerEvaluation();
}

// frame f, value v       =>  f v
// pending x, value v     =>  v x
// A value whose head never duplicates an argument and that misses n arguments, with
// n pending frames on top, takes them all at once and is rewritten: the reference
// reaches the same saturated application through n such steps, rewriting nothing
// on the way.
void Machine::continueWithValue() {
  cells::invariant(!frames_.empty(), "a value under a continuation that is not a frame");
  if (frames_.back().pending && takeArgumentsForValue()) return;
  Frame frame = std::move(frames_.back());
  frames_.pop_back();
  if (frame.pending)
    e_ = makePair(std::move(e_), std::move(frame.cell));
  else
    e_ = makePair(std::move(frame.cell), std::move(e_));
}

// (e1 x)  =>  e1, with x pending; again while e1 is over-applied too
void Machine::evaluateFunctionFirst() {
  Cell* e = e_.get();
  do {
    push(Handle(cells::rightOf(e)), true);
    e = cells::leftOf(e);
    ensureAnnotated(e);
  } while (!cells::isDataMarked(e) && cells::annotationValue(e) < 0);
  e_ = Handle(e);
}

// The value e, missing n arguments, with n pending frames x1 .. xn on top:
//   e  =>  (e x1 .. xn) rewritten at once.
bool Machine::takeArgumentsForValue() {
  Cell* e = e_.get();
  if (cells::isDataMarked(e)) return false;
  Cell* head = spineHead(e);
  if (!isNonDuplicating(head)) return false;
  int missing = cells::annotationValue(e);
  if (missing > 10 || frames_.size() < std::size_t(missing)) return false;
  for (int i = 1; i <= missing; ++i)
    if (!frames_[frames_.size() - i].pending) return false;
  const Resolution resolution = resolve(head);
  if (resolution.kind != HeadKind::defined) return false;
  collectArguments();
  taken_.clear();
  for (int i = 0; i < missing; ++i) {
    taken_.push_back(std::move(frames_.back().cell));
    frames_.pop_back();
    args_.push_back(taken_.back().get());
  }
  Handle held = std::move(e_);  // e and the taken arguments are held until e is rewritten
  callDefined(head, resolution);
  return true;
}

// (e1 x): the function part first when it is not a value, else the argument, with
// e1 waiting for its value.
void Machine::innerEvaluation() {
  Cell* e1 = cells::leftOf(e_.get());
  if (!isValue(e1)) return evaluateFunctionFirst();
  Handle x(cells::rightOf(e_.get()));
  push(Handle(e1), false);
  e_ = std::move(x);
}

// ({ X B C)  =>  B, with ((\ X) C) waiting for its value
void Machine::evaluateBindingFirst(Cell* e) {
  Handle key(const_cast<Cell*>(compile::curlyKey(e)));
  Handle lambda = makePair(makePair(Handle(machineAtom(MachineAtom::Lambda)), std::move(key)), Handle(cells::rightOf(e)));
  Handle b(cells::rightOf(cells::leftOf(e)));
  push(std::move(lambda), false);
  e_ = std::move(b);
}

// A non-duplicating head missing v arguments takes them unevaluated from the v
// innermost pending frames, when they are all there: e  =>  (e y1 .. yv).
bool Machine::takePendingArguments(int missing) {
  if (frames_.size() < std::size_t(missing)) return false;
  for (int i = 1; i <= missing; ++i)
    if (!frames_[frames_.size() - i].pending) return false;
  for (int i = 0; i < missing; ++i) {
    e_ = makePair(std::move(e_), std::move(frames_.back().cell));
    frames_.pop_back();
  }
  ensureAnnotated(e_.get());
  return true;
}

void Machine::collectArguments() {
  args_.clear();
  Cell* c = e_.get();
  while (cells::isPair(c) && !cells::isDataMarked(c)) {
    args_.push_back(cells::rightOf(c));
    c = cells::leftOf(c);
  }
  std::reverse(args_.begin(), args_.end());
}

void Machine::reduceSaturated() {
  cells::invariant(cells::annotationValue(e_.get()) == 0, "rewrite of an application that is not saturated");
  collectArguments();
  Cell* head = spineHead(e_.get());
  const Resolution resolution = resolve(head);  // a copy: a built-in may resolve more names
  Handle held = e_;  // the arguments live in e until the reduct is made
  switch (resolution.kind) {
    case HeadKind::builtin:
      e_ = callBuiltin(*resolution.builtin);
      return;
    case HeadKind::strictBinding:
      return bindStrictly(args_[0], args_[1], args_[2]);
    case HeadKind::lambda:
      places_ = placeOf(args_[0], args_[2]);
      return become(args_[1], args_.size());
    case HeadKind::numeral:
      e_ = unfoldNumeral(head, args_[0]);
      return;
    case HeadKind::byteString:
      e_ = splitByteString(head, args_[0]);
      return;
    case HeadKind::real:
      e_ = unfoldReal(head, args_[0]);
      return;
    case HeadKind::update:
      e_ = updateDefinition(head, args_[0]);
      return;
    case HeadKind::defined:
      return callDefined(head, resolution);
  }
}

// name a1 .. an  =>  the row's result. A result (r x) whose r begins with ")" or "]"
// is final at once: the continuation is dropped.
Handle Machine::callBuiltin(const library::BuiltinEntry& entry) {
  Handle r = entry.impl(e_.get());
  const Cell* f = r.isPair() ? cells::leftOf(r.get()) : nullptr;
  cells::AtomKind kind = f && cells::isAtom(f) ? cells::atomKind(f) : cells::AtomKind::plain;
  if (kind == cells::AtomKind::update || kind == cells::AtomKind::closing) frames_.clear();
  return r;
}

// ({ X B C), B a value  =>  C[X := B]
// ({ X B C)             =>  B, with ((\ X) C) waiting for its value
void Machine::bindStrictly(Cell* x, Cell* b, Cell* c) {
  if (isValue(b)) {
    places_ = placeOf(x, b);
    return become(c, args_.size());
  }
  Handle lambda = makePair(makePair(Handle(machineAtom(MachineAtom::Lambda)), Handle(x)), Handle(c));
  push(std::move(lambda), false);
  e_ = Handle(b);
}

// name a1 .. an  =>  body[p1 := a1, .., pk := ak] applied to the arguments beyond k,
// where the definition is (\ p1 (\ .. (\ pk body))); a unit definition's reduct is
// wrapped for its update.
// Decision: a head without a definition (data applied to an argument, an atom that
// names nothing) gives the undefined value "Z".
void Machine::callDefined(Cell* head, const Resolution& resolution) {
  if (!resolution.definition) {
    e_ = common(cells::Common::Z);
    return;
  }
  Cell* term = resolution.definition->get();
  std::size_t used = bindParameters(term);
  if (!resolution.unit) return become(term, used);
  Handle reduct = instantiate(term, places_);
  for (; used < args_.size(); ++used) reduct = makePair(std::move(reduct), Handle(args_[used]));
  e_ = wrapUnitReduct(std::move(reduct), head, resolution.unit);
}

// Binds the parameters of a definition to the first arguments and moves `term` to
// the body under them; gives the number of arguments bound.
std::size_t Machine::bindParameters(Cell*& term) {
  places_.letters = 0;
  std::size_t used = 0;
  for (; used < args_.size() && compile::isLambda(term); ++used, term = cells::rightOf(term)) {
    Cell* key = const_cast<Cell*>(compile::lambdaKey(term));
    if (compile::isLetterAtom(key)) places_.bind(cells::firstByte(key), args_[used]);
  }
  return used;
}

// e := t[places_] applied to args_ from `firstExtra` on: the reduct of a rewrite.
// The reference builds that application and takes it apart at its next steps; here
// it is built only as far as those steps look at it. Its function part f is t's
// head below the pairs that substitution rebuilds. When f needs n further arguments
// and is given more, those beyond n become pending frames, outermost first, as
// over-application does. When f is then saturated and its spine's head never
// duplicates an argument and names a definition, that head is rewritten at once,
// again, without building the application at all. Anything else is built as the
// reference builds it, sharing what substitution shares.
void Machine::become(Cell* t, std::size_t firstExtra) {
  for (int rounds = 0; rounds < 1000; ++rounds) {
    int needed = splitApplication(t, firstExtra);
    if (needed < 0) return buildApplication(further_.size());
    for (std::size_t i = further_.size(); i-- > std::size_t(needed);) push(std::move(further_[i]), true);
    further_.resize(std::size_t(needed));
    if (!callAtOnce(t, firstExtra)) return buildApplication(further_.size());
  }
  // A long chain of rewrites at once: the rest goes through the steps.
  Handle reduct = instantiate(t, places_);
  for (std::size_t i = firstExtra; i < args_.size(); ++i) reduct = makePair(std::move(reduct), Handle(args_[i]));
  e_ = std::move(reduct);
}

// Splits t[places_] applied to the extra arguments into function_ and further_;
// gives the number n of arguments that function_ needs, or -1 when it is given fewer
// (or is data, or needs an unknown number): then the whole is built.
int Machine::splitApplication(Cell* t, std::size_t firstExtra) {
  ensureAnnotated(t);
  spine_.clear();
  Cell* c = t;
  while (cells::isPair(c) && !cells::isDataMarked(c) && (compile::cachedMask(c) & places_.letters) != 0 &&
         !compile::isLambda(c) && !compile::isCurly(c)) {
    spine_.push_back(cells::rightOf(c));
    c = cells::leftOf(c);
  }
  function_ = instantiate(c, places_);
  further_.clear();
  for (std::size_t i = spine_.size(); i-- > 0;) further_.push_back(instantiate(spine_[i], places_));
  for (std::size_t i = firstExtra; i < args_.size(); ++i) further_.emplace_back(args_[i]);
  Cell* f = function_.get();
  ensureAnnotated(f);
  if (cells::isDataMarked(f)) return -1;
  int needed = cells::annotationValue(f);
  if (needed < 0 || needed > 10 || further_.size() < std::size_t(needed)) return -1;
  return needed;
}

// The saturated application of function_ to further_, when its spine's head never
// duplicates an argument and names a definition: binds the definition's parameters
// to all its arguments and moves t to its body, for the next round.
bool Machine::callAtOnce(Cell*& t, std::size_t& firstExtra) {
  Cell* head = spineHead(function_.get());
  if (cells::isPair(head) || !isNonDuplicating(head)) return false;
  const Resolution& resolution = resolve(head);
  if (resolution.kind != HeadKind::defined || !resolution.definition || resolution.unit) return false;
  ++stepCount();
  std::vector<Handle> previous = std::move(held_);  // the values bound so far live until t is split
  held_.clear();
  for (Cell* c = function_.get(); cells::isPair(c) && !cells::isDataMarked(c); c = cells::leftOf(c))
    held_.emplace_back(cells::rightOf(c));
  std::reverse(held_.begin(), held_.end());
  for (Handle& a : further_) held_.push_back(std::move(a));
  args_.clear();
  for (const Handle& a : held_) args_.push_back(a.get());
  t = resolution.definition->get();
  firstExtra = bindParameters(t);
  return true;
}

// e := (function_ a1 .. a_count), the first `count` of further_.
void Machine::buildApplication(std::size_t count) {
  Handle e = std::move(function_);
  for (std::size_t i = 0; i < count; ++i) e = makePair(std::move(e), std::move(further_[i]));
  ensureAnnotated(e.get());
  e_ = std::move(e);
}

}  // namespace

Handle evaluateFast(Handle term) { return Machine().run(std::move(term)); }

}  // namespace eval
