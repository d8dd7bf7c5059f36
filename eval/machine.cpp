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
  void reduceSaturated();
  void collectArguments();

  Handle callBuiltin(const library::BuiltinEntry& entry);
  Handle bindStrictly(Cell* x, Cell* b, Cell* c);
  Handle callDefined(Cell* head, const Resolution& resolution);

  void push(Handle cell, bool pending) { frames_.push_back({std::move(cell), pending}); }

  Handle e_;
  std::vector<Frame> frames_;  // the innermost frame last
  std::vector<Cell*> args_;    // of the saturated application, first argument first
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
void Machine::continueWithValue() {
  cells::invariant(!frames_.empty(), "a value under a continuation that is not a frame");
  Frame frame = std::move(frames_.back());
  frames_.pop_back();
  if (frame.pending)
    e_ = makePair(std::move(e_), std::move(frame.cell));
  else
    e_ = makePair(std::move(frame.cell), std::move(e_));
}

// (e1 x)  =>  e1, with x pending
void Machine::evaluateFunctionFirst() {
  Handle e1(cells::leftOf(e_.get()));
  push(Handle(cells::rightOf(e_.get())), true);
  e_ = std::move(e1);
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
  Handle reduct;
  switch (resolution.kind) {
    case HeadKind::builtin:
      reduct = callBuiltin(*resolution.builtin);
      break;
    case HeadKind::strictBinding:
      reduct = bindStrictly(args_[0], args_[1], args_[2]);
      break;
    case HeadKind::lambda:
      reduct = substitute(args_[1], placeOf(args_[0], args_[2]));
      break;
    case HeadKind::numeral:
      reduct = unfoldNumeral(head, args_[0]);
      break;
    case HeadKind::byteString:
      reduct = splitByteString(head, args_[0]);
      break;
    case HeadKind::real:
      reduct = unfoldReal(head, args_[0]);
      break;
    case HeadKind::update:
      reduct = updateDefinition(head, args_[0]);
      break;
    case HeadKind::defined:
      reduct = callDefined(head, resolution);
      break;
  }
  if (reduct) e_ = std::move(reduct);
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
Handle Machine::bindStrictly(Cell* x, Cell* b, Cell* c) {
  if (isValue(b)) return substitute(c, placeOf(x, b));
  Handle lambda = makePair(makePair(Handle(machineAtom(MachineAtom::Lambda)), Handle(x)), Handle(c));
  push(std::move(lambda), false);
  return Handle(b);
}

// name a1 .. an  =>  body[p1 := a1, .., pn := an], where the definition is
// (\ p1 (\ .. (\ pn body))); a unit definition's reduct is wrapped for its update.
// Decision: a head without a definition (data applied to an argument, an atom that
// names nothing) gives the undefined value "Z".
Handle Machine::callDefined(Cell* head, const Resolution& resolution) {
  if (!resolution.definition) return common(cells::Common::Z);
  Cell* term = resolution.definition->get();
  Places places;
  std::size_t used = 0;
  for (; used < args_.size() && compile::isLambda(term); ++used, term = cells::rightOf(term)) {
    Cell* key = const_cast<Cell*>(compile::lambdaKey(term));
    if (compile::isLetterAtom(key)) places.bind(cells::firstByte(key), args_[used]);
  }
  Handle reduct = substitute(term, places);
  for (; used < args_.size(); ++used) reduct = makePair(std::move(reduct), Handle(args_[used]));
  return wrapUnitReduct(std::move(reduct), head, resolution.unit);
}

}  // namespace

Handle evaluateFast(Handle term) { return Machine().run(std::move(term)); }

}  // namespace eval
