// The reference machine: the rewriting machine as first built, kept unchanged so
// that the fast machine (machine.cpp) can be tested against it. Its whole state is
// the machine term (k e), continuations included. Each step replaces (k e) by a new
// machine term:
//   1. e is a value:       ((B a) b) e            =>  a (b e)
//   2. e is over-applied:  k (e1 x)               =>  ((B k) (T x)) e1
//   3. e is saturated:     k e                    =>  k e'   (reduceSaturated)
//   4. otherwise an argument on e's spine is not yet a value: inner evaluation.
#include "eval/reference_machine.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "cells/common_atoms.h"
#include "cells/convert.h"
#include "eval/engine.h"
#include "eval/resolution.h"
#include "eval/rewrites.h"
#include "eval/substitute.h"
#include "eval/z_origin.h"
#include "front/definitions.h"
#include "library/builtin_table.h"
#include "numbers/bit_form.h"
#include "numbers/text_ops.h"
#include "terms/annotation.h"
#include "terms/shapes.h"

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

// ((B k) f): continue with k once f has been applied to the value.
Handle composeB(Handle k, Handle f) {
  return makePair(makePair(Handle(machineAtom(MachineAtom::B)), std::move(k)), std::move(f));
}
// (T x): a pending argument x (T x f = f x).
Handle applyT(Handle x) { return makePair(Handle(machineAtom(MachineAtom::T)), std::move(x)); }

void ensureAnnotated(Cell* c) {
  if (!cells::isAnnotated(c)) terms::annotate(c);
}

// ((B a) b), a continuation waiting for a value.
bool isFrame(const Cell* k) {
  return cells::isPair(k) && cells::isPair(cells::leftOf(k)) &&
         cells::isAtomText(cells::leftOf(cells::leftOf(k)), "B");
}
// ((B k') (T y)), a frame that holds a pending argument y.
bool isPendingFrame(const Cell* k) {
  return isFrame(k) && cells::isPair(cells::rightOf(k)) &&
         cells::isAtomText(cells::leftOf(cells::rightOf(k)), "T");
}

class Machine {
 public:
  Handle run(Handle term);

 private:
  void step();
  void continueWithValue();
  void evaluateFunctionFirst();
  void innerEvaluation();
  bool takePendingArguments(int missing);
  void reduceSaturated();
  void collectArguments();

  Handle callBuiltin(const library::BuiltinEntry& entry);
  Handle bindStrictly(Cell* x, Cell* b, Cell* c);
  Handle applyLambda(Cell* x, Cell* body, Cell* v);
  Handle callDefined(Cell* head, const Resolution& resolution);

  Handle k_, e_;
  std::vector<Cell*> args_;  // of the saturated application, first argument first
};

Handle Machine::run(Handle term) {
  k_ = common(cells::Common::I);
  e_ = std::move(term);
  const unsigned long long budget = stepBudget();
  for (unsigned long long taken = 0;; ++taken) {
    if (budget && taken >= budget) {
      budgetReached() = true;
      return common(cells::Common::Z);
    }
    ensureAnnotated(e_.get());
    if (cells::firstByte(k_.get()) == 'I' && isValue(e_.get())) return std::move(e_);
#ifdef VORL_TRACE_EXECUTION
    std::fprintf(stderr, "k: %s\ne: %s\n", compile::printTerm(k_).c_str(), compile::printTerm(e_).c_str());
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
    if (terms::isCurly(e)) {
      Cell* b = cells::rightOf(cells::leftOf(e));
      if (isValue(b)) return reduceSaturated();
      Handle lambda =
          makePair(Handle(machineAtom(MachineAtom::Lambda)), Handle(const_cast<Cell*>(terms::curlyKey(e))));
      k_ = composeB(std::move(k_), makePair(std::move(lambda), Handle(cells::rightOf(e))));
      e_ = Handle(b);
      return;
    }
    return innerEvaluation();
  }
  if (nonDuplicating && takePendingArguments(v)) return reduceSaturated();
  innerEvaluation();
}

// ((B a) b) v      =>  a (b v)
// ((B a) (T x)) v  =>  a (v x), the same two steps at once (T x f = f x)
void Machine::continueWithValue() {
  Cell* k = k_.get();
  cells::invariant(isFrame(k), "a value under a continuation that is not a frame");
  Handle next(cells::rightOf(cells::leftOf(k)));
  Cell* b = cells::rightOf(k);
  if (isPendingFrame(k)) e_ = makePair(std::move(e_), Handle(cells::rightOf(b)));
  else
    e_ = makePair(Handle(b), std::move(e_));
  k_ = std::move(next);
}

// k (e1 x)  =>  ((B k) (T x)) e1
void Machine::evaluateFunctionFirst() {
  Handle e1(cells::leftOf(e_.get()));
  k_ = composeB(std::move(k_), applyT(Handle(cells::rightOf(e_.get()))));
  e_ = std::move(e1);
}

// k (e1 x): the function part first when it is not a value, else the argument:
//   k (e1 x)  =>  ((B k) e1) x
void Machine::innerEvaluation() {
  Cell* e1 = cells::leftOf(e_.get());
  if (!isValue(e1)) return evaluateFunctionFirst();
  Handle x(cells::rightOf(e_.get()));
  k_ = composeB(std::move(k_), Handle(e1));
  e_ = std::move(x);
}

// A non-duplicating head missing v arguments takes them unevaluated from the v
// innermost pending frames of the continuation, when they are all there:
//   ((B ((B k) (T y2))) (T y1)) e  =>  k (e y1 y2)
bool Machine::takePendingArguments(int missing) {
  const Cell* k = k_.get();
  for (int i = 0; i < missing; ++i, k = cells::rightOf(cells::leftOf(k)))
    if (!isPendingFrame(k)) return false;
  for (int i = 0; i < missing; ++i) {
    Cell* frame = k_.get();
    e_ = makePair(std::move(e_), Handle(cells::rightOf(cells::rightOf(frame))));
    k_ = Handle(cells::rightOf(cells::leftOf(frame)));
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
  Handle reduct;
  switch (resolution.kind) {
    case HeadKind::builtin: reduct = callBuiltin(*resolution.builtin); break;
    case HeadKind::strictBinding: reduct = bindStrictly(args_[0], args_[1], args_[2]); break;
    case HeadKind::lambda: reduct = applyLambda(args_[0], args_[1], args_[2]); break;
    case HeadKind::numeral: reduct = unfoldNumeral(head, args_[0]); break;
    case HeadKind::byteString: reduct = splitByteString(head, args_[0]); break;
    case HeadKind::real: reduct = unfoldReal(head, args_[0]); break;
    case HeadKind::update: reduct = updateDefinition(head, args_[0]); break;
    case HeadKind::defined: reduct = callDefined(head, resolution); break;
  }
  if (reduct) e_ = std::move(reduct);
}

// name a1 .. an  =>  the row's result. A result (r x) whose r begins with ")" or "]"
// is final at once: the continuation is dropped.
Handle Machine::callBuiltin(const library::BuiltinEntry& entry) {
  Handle r = entry.impl(e_.get());
  afterBuiltinCall(e_.get(), r.get());
  const Cell* f = r.isPair() ? cells::leftOf(r.get()) : nullptr;
  cells::AtomKind kind = f && cells::isAtom(f) ? cells::atomKind(f) : cells::AtomKind::plain;
  if (kind == cells::AtomKind::update || kind == cells::AtomKind::closing) k_ = common(cells::Common::I);
  return r;
}

// ({ X B C), B a value  =>  C[X := B]
// ({ X B C)             =>  ((B k) ((\ X) C)) B, finished by the lambda rule
Handle Machine::bindStrictly(Cell* x, Cell* b, Cell* c) {
  if (isValue(b)) return substitute(c, placeOf(x, b));
  Handle lambda = makePair(makePair(Handle(machineAtom(MachineAtom::Lambda)), Handle(x)), Handle(c));
  k_ = composeB(std::move(k_), std::move(lambda));
  return Handle(b);
}

// (\ X body) v  =>  body[X := v]
Handle Machine::applyLambda(Cell* x, Cell* body, Cell* v) { return substitute(body, placeOf(x, v)); }

// name a1 .. an  =>  body[p1 := a1, .., pn := an], where the definition is
// (\ p1 (\ .. (\ pn body))). A unit definition's reduct that is not yet a value is
// wrapped as ()name reduct), so that its value is written back once computed.
// Decision: a head without a definition (data applied to an argument, an atom that
// names nothing) gives the undefined value "Z".
Handle Machine::callDefined(Cell* head, const Resolution& resolution) {
  if (!resolution.definition) return common(cells::Common::Z);
  if (resolution.entered) lastEntered() = resolution.entered;
  Cell* term = resolution.definition->get();
  Places places;
  std::size_t used = 0;
  for (; used < args_.size() && terms::isLambda(term); ++used, term = cells::rightOf(term)) {
    Cell* key = const_cast<Cell*>(terms::lambdaKey(term));
    if (terms::isLetterAtom(key)) places.bind(cells::firstByte(key), args_[used]);
  }
  Handle reduct = substitute(term, places);
  for (; used < args_.size(); ++used) reduct = makePair(std::move(reduct), Handle(args_[used]));
  return wrapUnitReduct(std::move(reduct), head, resolution.unit);
}

}  // namespace

Handle evaluateReference(Handle term) { return Machine().run(std::move(term)); }

}  // namespace eval
