// The fast machine. The continuation k of the machine term (k e) is a stack of
// frames: a frame f stands for ((B k') f), waiting for a value v to go on with
// (f v); a pending frame of x for ((B k') (T x)), going on with (v x). The empty
// stack is the atom "I". Each step replaces e and the stack:
//   1. e is a value:       frame f: e := f e;  pending x: e := e x;  pop
//   2. e is over-applied:  e = (e1 x)  =>  push pending x; e := e1
//   3. e is saturated:     e := e'   (reduceSaturated)
//   4. otherwise an argument on e's spine is not yet a value: inner evaluation.
// The machine is a template over one switch: the plain form (machine.cpp) and the
// observing form of eval/observe.h (observed_machine.cpp), each compiled in a file of
// its own so that the plain form's code is exactly what it would be alone.
#pragma once

#include <algorithm>
#include <utility>
#include <vector>

#include "cells/common_atoms.h"
#include "cells/memory_budget.h"
#include "cells/stop_signals.h"
#include "eval/engine.h"
#include "eval/instantiate.h"
#include "eval/observe.h"
#include "eval/profile.h"
#include "eval/resolution.h"
#include "eval/rewrites.h"
#include "eval/substitute.h"
#include "eval/trace.h"
#include "eval/z_origin.h"
#include "library/builtin_table.h"
#include "terms/annotation.h"
#include "terms/shapes.h"

#ifdef VORL_TRACE_EXECUTION
#include <cstdio>

#include "compile/printer.h"
#endif

namespace eval {

// Internal to each of the two files that include this header: the compiler then
// inlines and lays out the plain form's helpers as it would in one file alone
// (functions of external linkage lose the inlining of functions called once).
namespace {  // NOLINT(google-build-namespaces, cert-dcl59-cpp)

using cells::Cell;
using cells::Handle;
using cells::common;
using cells::makePair;

void ensureAnnotated(Cell* c) {
  if (!cells::isAnnotated(c)) terms::annotate(c);
}

// (f x), annotated as it is made: in one step when f and x are (nearly always).
Handle apply(Handle f, Handle x) {
  Handle p = makePair(std::move(f), std::move(x));
  if (cells::isAnnotated(cells::leftOf(p.get())) && cells::isAnnotated(cells::rightOf(p.get())))
    terms::annotatePair(p.get());
  else
    terms::annotate(p.get());
  return p;
}

// A numeral atom of at most 18 digits: a built-in given only these cannot grow an
// argument in place, so it may be called while the rewrite under way still holds
// them.
inline bool isShortNumeral(const Cell* x) {
  return cells::isAtom(x) && cells::atomKind(x) == cells::AtomKind::numeral && cells::lengthCache(x) != 0 &&
         cells::lengthCache(x) <= 18;
}

// An atom that keeps its resolution in its header (a name; not a letter, a number
// or a text, which resolve would look up afresh each time).
inline bool isName(const Cell* c) {
  return cells::isAtom(c) && cells::headerFieldOf(c) == cells::HeaderField::resolutionSlot;
}

// The number of letters in a mask, without a library call on hosts where the
// compiler does not assume the instruction.
int letterCount(uint32_t m) {
  m = m - ((m >> 1) & 0x55555555u);
  m = (m & 0x33333333u) + ((m >> 2) & 0x33333333u);
  return int((((m + (m >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
}

// The values bound by one rewrite, kept for the parts of its reduct that are not
// built yet (delayed pending arguments): one value for each letter of `letters`, in
// the order of the letters, right after the header. Counted by the frames that hold
// it; kept for reuse, by size, when the last lets go (one is made at nearly every
// call).
struct Bindings {
  uint32_t holders = 0;
  uint32_t letters = 0;

  Handle* values() { return reinterpret_cast<Handle*>(this + 1); }
  Places places() {
    Places p;
    p.letters = letters;
    const Handle* v = values();
    for (uint32_t rest = letters; rest; rest &= rest - 1) p.values[__builtin_ctz(rest)] = (v++)->get();
    return p;
  }

  static Bindings* make(uint32_t letters, const Places& places) {
    int n = letterCount(letters);
    std::vector<Bindings*>& spare = spares()[n];
    Bindings* b;
    if (spare.empty()) {
      b = new (cells::budgetAllocate(sizeof(Bindings) + std::size_t(n) * sizeof(Handle))) Bindings;
    } else {
      b = spare.back();
      spare.pop_back();
    }
    b->letters = letters;
    Handle* v = b->values();
    for (uint32_t rest = letters; rest; rest &= rest - 1)
      new (v++) Handle(const_cast<Cell*>(places.values[__builtin_ctz(rest)]));
    return b;
  }
  static void recycle(Bindings* b) {
    int n = letterCount(b->letters);
    for (int i = 0; i < n; ++i) b->values()[i].~Handle();
    spares()[n].push_back(b);
  }
  static std::vector<Bindings*>* spares() {
    static auto* kept = new std::vector<Bindings*>[27];  // reused for the life of the process
    return kept;
  }
};
static_assert(sizeof(Bindings) == sizeof(Handle), "values follow the header, aligned");

// Holds one count of a Bindings; the last holder releases the values.
class BindingsRef {
 public:
  BindingsRef() = default;
  explicit BindingsRef(Bindings* b) : b_(b) {
    if (b_) ++b_->holders;
  }
  BindingsRef(BindingsRef&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
  BindingsRef& operator=(BindingsRef&& o) noexcept {
    if (this != &o) {
      drop();
      b_ = std::exchange(o.b_, nullptr);
    }
    return *this;
  }
  ~BindingsRef() { drop(); }
  Bindings* get() const { return b_; }

 private:
  void drop() {
    if (b_ && --b_->holders == 0) Bindings::recycle(b_);
    b_ = nullptr;
  }
  Bindings* b_ = nullptr;
};

// One frame of the continuation: a function waiting for the value, or a pending
// argument that the value will be applied to. A delayed pending argument is a part
// of a reduct not built yet: `cell` is its template, to be instantiated under
// `bindings` when it is taken, which is when the reference would first look at it
// (substitution has no effects, so when it is done cannot be told). A function
// frame with bindings is a strict binding X{B}C waiting for B's value: `cell` is
// C's template, `key` the place letter X (0 when X is no place), and the
// reference's function ((\ X) C[...]) is never built.
struct Frame {
  Handle cell;
  BindingsRef bindings;
  bool pending;
  char key = 0;
};

enum class Binding { none, bound, waiting };

// The frames, innermost last, in chunks that are never moved: a recursion a million
// deep grows the stack without the copy and the doubled peak of a vector's growth.
// Chunks and binding records count against the memory budget in every build (the
// sanitizers' own allocation operators do not).
class FrameStack {
 public:
  FrameStack() = default;
  FrameStack(const FrameStack&) = delete;
  FrameStack& operator=(const FrameStack&) = delete;
  ~FrameStack() {
    clear();
    for (Frame* chunk : chunks_) cells::budgetFree(chunk);
  }

  bool empty() const { return size_ == 0; }
  std::size_t size() const { return size_; }
  Frame& operator[](std::size_t i) { return chunks_[i / kChunk][i % kChunk]; }
  Frame& back() { return (*this)[size_ - 1]; }

  [[gnu::always_inline]] void push_back(Frame&& frame) {
    if (size_ == chunks_.size() * kChunk)
      chunks_.push_back(static_cast<Frame*>(cells::budgetAllocate(kChunk * sizeof(Frame))));
    new (&(*this)[size_]) Frame(std::move(frame));
    ++size_;
  }
  [[gnu::always_inline]] void pop_back() {
    back().~Frame();
    --size_;
    // Keeps one empty chunk beyond the top, so a stack that goes up and down across
    // a chunk's edge does not allocate at every crossing.
    if (chunks_.size() * kChunk - size_ > 2 * kChunk) {
      cells::budgetFree(chunks_.back());
      chunks_.pop_back();
    }
  }
  void clear() {
    while (size_ > 0) pop_back();
  }

 private:
  static constexpr std::size_t kChunk = 1024;
  std::vector<Frame*> chunks_;
  std::size_t size_ = 0;
};

template <bool kObserve>
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
  bool takeIntoDefinition(const DefinitionShape& shape, int missing);
  void finishBinding();
  void restorePlaces(Bindings& b);
  [[gnu::always_inline]] Binding bindAtOnce(Cell*& t);
  Bindings* capture(uint32_t letters);
  void reduceSaturated();
  void collectArguments();
  [[gnu::noinline]] bool argumentsAtOnce();
  static bool mayHaveValueAtOnce(const Cell* a);
  Handle valueAtOnce(Cell* a);

  [[gnu::always_inline]] Handle callBuiltin(const library::BuiltinEntry& entry, const Handle& application);
  [[gnu::noinline]] bool callsBuiltinAtOnce(Handle& b, bool anyValues);
  [[gnu::noinline]] Handle buildValue(Cell* b, bool& callNow, bool& called);
  static bool isFinal(const Cell* r);
  void bindStrictly(Cell* x, Cell* b, Cell* c);
  void callDefined(Cell* head, const Resolution& resolution);
  std::size_t bindParameters(Cell*& term);
  std::size_t bindParameters(const DefinitionShape& shape, Cell*& body);
  Cell* selectAtOnce(const DefinitionShape& shape);
  bool namesIdentity(const Cell* c, const cells::Handle*& entered);
  int selectorChoice(const Cell* s);
  const Selection& selectorKind(const Cell* s);
  const Selection& readSelection(const Resolution& selector);
  void noteSelection(const Selection& selection);
  const Cell* pairPart(const Cell* part, Selection& selection, const Cell*& pair);
  bool givenValue(const Cell* test);
  void countCombinators(const Cell* s, const Cell* x);
  [[gnu::noinline]] Cell* decideTests(Cell* t, Handle* built);
  [[gnu::always_inline]] bool mayDecide(const Cell* t, bool builtins);
  static bool isTest(const Cell* t);
  bool givenShortInteger(const Cell* test);
  [[gnu::noinline]] Handle testValue(const Cell* test, bool shortIntegers, bool effects = false);
  void takePairPart(const Selection& selection, const Cell* pair);
  bool namesPair(const Cell* p);
  [[gnu::always_inline]] const Cell* argumentValue(const Cell* a, bool shortIntegers);
  const Cell* decisionAtOnce(const Cell* test);
  [[gnu::always_inline]] Handle callBuiltinOn(const library::BuiltinEntry& entry, const Cell* head,
                                              const Cell* const* values, int n);
  [[gnu::noinline]] Handle testValueOfParts(const library::BuiltinEntry& entry, const Cell* head,
                                            const Cell* const* parts, int n, bool shortIntegers);
  [[gnu::noinline]] bool evaluatesArguments(const Cell* f);
  bool takeSecondBranch(const DefinitionShape& shape);

  void become(Cell* t, std::size_t firstExtra);
  [[gnu::always_inline]] bool splitApplication(Cell* t, std::size_t firstExtra);
  void pushBeyond(std::size_t first, std::size_t firstExtra);
  bool callAtOnce(Cell*& t, std::size_t& firstExtra);
  void buildArguments(std::size_t n, std::size_t firstExtra, const Cell* f);
  [[gnu::noinline]] Handle argumentAtOnce(const Cell* part);
  void buildApplication();
  void dropHeld();

  [[gnu::always_inline]] void push(Handle cell, bool pending) {
    frames_.push_back({std::move(cell), BindingsRef(), pending});
  }
  Handle takeArgument();

  // A call of a definition, with `pending` of its arguments still in the innermost frames.
  void entered(const Resolution& resolution, std::size_t pending) {
    if (resolution.entered) lastEntered() = resolution.entered;
    if constexpr (kObserve) observeEntry(resolution, pending);
  }
  void observeEntry(const Resolution& resolution, std::size_t pending);
  std::vector<const Cell*> traceArguments(std::size_t pending);
  bool observeStep();

  Handle e_;
  FrameStack frames_;
  std::vector<Cell*> args_;    // of the saturated application, first argument first
  std::vector<Handle> taken_;  // arguments taken from frames, held while they are used
  Places places_;              // the parameters bound for the rewrite under way

  // An application split by `become`: its function part and the arguments given to
  // it, and the arguments of a rewrite taken at once, held while it is instantiated.
  Handle function_;
  std::vector<Handle> further_;
  bool givenValues_ = false;  // function_ and further_ all values (buildArguments, given f)
  std::vector<Handle> held_;
  std::vector<Handle> previous_;
  std::vector<Cell*> spine_;

  void startObserving();
  unsigned long long stepLimit_ = ~0ull;
  std::vector<Handle> traced_;  // delayed arguments built for a trace line
};

template <bool kObserve>
Handle Machine<kObserve>::run(Handle term) {
  e_ = std::move(term);
  // The budget counts the steps as the machine counts them, so a round of rewrites
  // made at once (up to 1000 in one step) spends its share of it.
  const unsigned long long budget = stepBudget();
  const unsigned long long start = stepCount();
  if constexpr (kObserve) startObserving();
  for (;;) {
    if (budget && stepCount() - start >= budget) {
      budgetReached() = true;
      return common(cells::Common::Z);
    }
    ensureAnnotated(e_.get());
    if constexpr (kObserve)
      if (!observeStep()) return common(cells::Common::Z);
    if (frames_.empty() && isValue(e_.get())) return std::move(e_);
#ifdef VORL_TRACE_EXECUTION
    std::fprintf(stderr, "frames: %zu\ne: %s\n", frames_.size(), compile::printTerm(e_).c_str());
#endif
    ++stepCount();
    step();
  }
}

template <bool kObserve>
void Machine<kObserve>::step() {
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
      if (isValue(cells::rightOf(cells::leftOf(e)))) return reduceSaturated();
      return evaluateBindingFirst(e);
    }
    if (argumentsAtOnce()) return reduceSaturated();
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
template <bool kObserve>
void Machine<kObserve>::continueWithValue() {
  cells::invariant(!frames_.empty(), "a value under a continuation that is not a frame");
  if (frames_.back().pending && takeArgumentsForValue()) return;
  if (frames_.back().pending) {
    e_ = apply(std::move(e_), takeArgument());
    return;
  }
  if (frames_.back().bindings.get()) return finishBinding();
  Handle f = std::move(frames_.back().cell);
  frames_.pop_back();
  e_ = apply(std::move(f), std::move(e_));
}

// A binding frame X{..}C given the value v  =>  C[.., X := v]
template <bool kObserve>
void Machine<kObserve>::finishBinding() {
  Frame frame = std::move(frames_.back());
  frames_.pop_back();
  Handle v = std::move(e_);  // held while C is instantiated
  restorePlaces(*frame.bindings.get());
  if (frame.key) places_.bind(static_cast<unsigned char>(frame.key), v.get());
  args_.clear();
  become(frame.cell.get(), 0);
}

template <bool kObserve>
void Machine<kObserve>::restorePlaces(Bindings& b) {
  places_ = b.places();
}

// Pops the innermost frame, a pending one, and gives its argument, built now if it
// was delayed.
template <bool kObserve>
Handle Machine<kObserve>::takeArgument() {
  Frame frame = std::move(frames_.back());
  frames_.pop_back();
  Bindings* b = frame.bindings.get();
  if (!b) return std::move(frame.cell);
  return instantiate(frame.cell.get(), b->places());
}

// (e1 x)  =>  e1, with x pending; again while e1 is over-applied too
template <bool kObserve>
void Machine<kObserve>::evaluateFunctionFirst() {
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
template <bool kObserve>
bool Machine<kObserve>::takeArgumentsForValue() {
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
  Handle held = std::move(e_);  // e and the taken arguments are held until e is rewritten
  if (resolution.definition && !resolution.unit) {
    entered(resolution, std::size_t(missing));
    return takeIntoDefinition(shapeOf(resolution), missing);
  }
  taken_.clear();
  for (int i = 0; i < missing; ++i) {
    taken_.push_back(takeArgument());
    args_.push_back(taken_.back().get());
  }
  callDefined(head, resolution);
  dropHeld();
  return true;
}

// The taken arguments bound to the parameters of a definition, each built only if
// the body uses it. A body that is just one parameter, given a delayed argument,
// goes on with that argument's template under its own values, still unbuilt
// (I x = x, K x y = x): an unused branch of a test is never built at all.
template <bool kObserve>
bool Machine<kObserve>::takeIntoDefinition(const DefinitionShape& shape, int missing) {
  std::size_t own = args_.size();
  if constexpr (!kObserve)  // the observing machine counts the prelude's calls one by one
    if (shape.form == DefinitionShape::Form::constant && own == 0 && missing == 1 && takeSecondBranch(shape))
      return true;
  std::size_t params = std::min(std::size_t(shape.parameters), own + std::size_t(missing));
  auto letterOf = [&](std::size_t i) { return shape.places[i] < 0 ? 0u : uint32_t{1} << shape.places[i]; };
  // The body below the parameters bound: the definition's own body when all are.
  bool whole = params == std::size_t(shape.parameters);
  uint32_t usedByBody = whole ? shape.usedByBody : ~0u;
  std::size_t only = SIZE_MAX;  // the parameter that is the whole body
  if (whole && terms::isLetterAtom(shape.body))
    for (std::size_t i = 0; i < params; ++i)
      if (letterOf(i) == terms::letterBit(shape.body)) only = i;
  bool noExtras = params == own + std::size_t(missing);
  if (noExtras && only >= own && only < params && frames_[frames_.size() - 1 - (only - own)].bindings.get()) {
    ++stepCount();
    for (std::size_t i = own; i < only; ++i) frames_.pop_back();
    Frame kept = std::move(frames_.back());
    frames_.pop_back();
    for (std::size_t i = only + 1; i < own + std::size_t(missing); ++i) frames_.pop_back();
    restorePlaces(*kept.bindings.get());
    args_.clear();
    become(kept.cell.get(), 0);
    return true;
  }
  taken_.clear();
  for (std::size_t i = own; i < own + std::size_t(missing); ++i) {
    bool unused = i < params && (usedByBody & letterOf(i)) == 0;
    if (unused) {
      frames_.pop_back();
      taken_.emplace_back();
    } else {
      taken_.push_back(takeArgument());
    }
    args_.push_back(taken_.back().get());
  }
  Cell* body;
  std::size_t used = bindParameters(shape, body);
  become(body, used);
  return true;
}

// (e1 x): the function part first when it is not a value, else the argument, with
// e1 waiting for its value.
template <bool kObserve>
void Machine<kObserve>::innerEvaluation() {
  Cell* e1 = cells::leftOf(e_.get());
  if (!isValue(e1)) return evaluateFunctionFirst();
  Handle x(cells::rightOf(e_.get()));
  push(Handle(e1), false);
  e_ = std::move(x);
}

// ({ X B C)  =>  B, with ((\ X) C) waiting for its value
template <bool kObserve>
void Machine<kObserve>::evaluateBindingFirst(Cell* e) {
  Handle key(const_cast<Cell*>(terms::curlyKey(e)));
  Handle lambda =
      makePair(makePair(Handle(machineAtom(MachineAtom::Lambda)), std::move(key)), Handle(cells::rightOf(e)));
  Handle b(cells::rightOf(cells::leftOf(e)));
  push(std::move(lambda), false);
  e_ = std::move(b);
}

// A non-duplicating head missing v arguments takes them unevaluated from the v
// innermost pending frames, when they are all there: e  =>  (e y1 .. yv).
template <bool kObserve>
bool Machine<kObserve>::takePendingArguments(int missing) {
  if (frames_.size() < std::size_t(missing)) return false;
  for (int i = 1; i <= missing; ++i)
    if (!frames_[frames_.size() - i].pending) return false;
  for (int i = 0; i < missing; ++i) e_ = apply(std::move(e_), takeArgument());
  return true;
}

template <bool kObserve>
void Machine<kObserve>::collectArguments() {
  args_.clear();
  Cell* c = e_.get();
  while (cells::isPair(c) && !cells::isDataMarked(c)) {
    args_.push_back(cells::rightOf(c));
    c = cells::leftOf(c);
  }
  std::reverse(args_.begin(), args_.end());
}

template <bool kObserve>
void Machine<kObserve>::reduceSaturated() {
  cells::invariant(cells::annotationValue(e_.get()) == 0, "rewrite of an application that is not saturated");
  collectArguments();
  Cell* head = spineHead(e_.get());
  const Resolution resolution = resolve(head);  // a copy: a built-in may resolve more names
  // A built-in sees the application held once, by e alone: it may then make its
  // result of an argument in place (library/adapt.h).
  if (resolution.kind == HeadKind::builtin) {
    e_ = callBuiltin(*resolution.builtin, e_);
    return;
  }
  Handle held = e_;  // the arguments live in e until the reduct is made
  switch (resolution.kind) {
    case HeadKind::builtin: return;
    case HeadKind::strictBinding: return bindStrictly(args_[0], args_[1], args_[2]);
    case HeadKind::lambda: places_ = placeOf(args_[0], args_[2]); return become(args_[1], args_.size());
    case HeadKind::numeral: e_ = unfoldNumeral(head, args_[0]); return;
    case HeadKind::byteString: e_ = splitByteString(head, args_[0]); return;
    case HeadKind::real: e_ = unfoldReal(head, args_[0]); return;
    case HeadKind::update: e_ = updateDefinition(head, args_[0]); return;
    case HeadKind::defined: return callDefined(head, resolution);
  }
}

// name a1 .. an  =>  the row's result. A result (r x) whose r begins with ")" or "]"
// is final at once: the continuation is dropped.
template <bool kObserve>
inline Handle Machine<kObserve>::callBuiltin(const library::BuiltinEntry& entry, const Handle& application) {
  if constexpr (kObserve)
    if (observation().profiling()) callProfile().countBuiltin(&entry);
  Handle r = entry.impl(application.get());
  afterBuiltinCall(application.get(), r.get());
  if (isFinal(r.get())) frames_.clear();
  return r;
}

template <bool kObserve>
bool Machine<kObserve>::isFinal(const Cell* r) {
  const Cell* f = cells::isPair(r) ? cells::leftOf(r) : nullptr;
  cells::AtomKind kind = f && cells::isAtom(f) ? cells::atomKind(f) : cells::AtomKind::plain;
  return kind == cells::AtomKind::update || kind == cells::AtomKind::closing;
}

// ({ X B C), B a value  =>  C[X := B]
// ({ X B C)             =>  B, with ((\ X) C) waiting for its value
template <bool kObserve>
void Machine<kObserve>::bindStrictly(Cell* x, Cell* b, Cell* c) {
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
template <bool kObserve>
void Machine<kObserve>::callDefined(Cell* head, const Resolution& resolution) {
  if (!resolution.definition) {
    e_ = common(cells::Common::Z);
    return;
  }
  entered(resolution, 0);
  Cell* term;
  std::size_t used;
  if (!resolution.unit) {
    used = bindParameters(shapeOf(resolution), term);
    return become(term, used);
  }
  term = resolution.definition->get();
  used = bindParameters(term);
  Handle reduct = instantiate(term, places_);
  for (; used < args_.size(); ++used) reduct = apply(std::move(reduct), Handle(args_[used]));
  e_ = wrapUnitReduct(std::move(reduct), head, resolution.unit);
}

// Binds the parameters of a definition to the first arguments and moves `term` to
// the body under them; gives the number of arguments bound. For a unit definition,
// whose term the update replaces.
template <bool kObserve>
std::size_t Machine<kObserve>::bindParameters(Cell*& term) {
  places_.letters = 0;
  std::size_t used = 0;
  for (; used < args_.size() && terms::isLambda(term); ++used, term = cells::rightOf(term)) {
    Cell* key = const_cast<Cell*>(terms::lambdaKey(term));
    if (terms::isLetterAtom(key)) places_.bind(cells::firstByte(key), args_[used]);
  }
  return used;
}

// The same with the definition's shape: sets `body` to the term under the
// parameters bound, or to a pair's chosen part when its selector is given
// (selectAtOnce).
template <bool kObserve>
std::size_t Machine<kObserve>::bindParameters(const DefinitionShape& shape, Cell*& body) {
  places_.letters = 0;
  std::size_t n = std::min(args_.size(), std::size_t(shape.parameters));
  for (std::size_t i = 0; i < n; ++i)
    if (shape.places[i] >= 0) {
      places_.letters |= uint32_t{1} << shape.places[i];
      places_.values[shape.places[i]] = args_[i];
    }
  if (n == std::size_t(shape.parameters)) {
    body = selectAtOnce(shape);
  } else {
    body = const_cast<Cell*>(shape.term);
    for (std::size_t i = 0; i < n; ++i) body = cells::rightOf(body);
  }
  return n;
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
template <bool kObserve>
void Machine<kObserve>::become(Cell* t, std::size_t firstExtra) {
  int rounds = 0;
  for (; rounds < 1000; ++rounds) {
    if (mayDecide(t, true)) {
      Handle built;
      t = decideTests(t, &built);
      if (!t) {  // a test whose value chose no branch: the rest goes through the steps
        for (std::size_t i = firstExtra; i < args_.size(); ++i)
          built = apply(std::move(built), Handle(args_[i]));
        e_ = std::move(built);
        return dropHeld();
      }
    }
    Binding binding = firstExtra == args_.size() ? bindAtOnce(t) : Binding::none;
    if (binding == Binding::bound) continue;
    if (binding == Binding::waiting) return dropHeld();
    if (!splitApplication(t, firstExtra) || !callAtOnce(t, firstExtra)) break;
  }
  if (rounds < 1000) {
    buildApplication();
  } else {  // a long chain of rewrites at once: the rest goes through the steps
    Handle reduct = instantiate(t, places_);
    for (std::size_t i = firstExtra; i < args_.size(); ++i)
      reduct = apply(std::move(reduct), Handle(args_[i]));
    e_ = std::move(reduct);
  }
  dropHeld();
}

// Lets go of every argument held for a rewrite that is done: a cell that only the
// machine's leftovers still held would look shared to a built-in that grows what no
// one else holds (a join onto a text).
template <bool kObserve>
void Machine<kObserve>::dropHeld() {
  if (!taken_.empty()) taken_.clear();
  if (!held_.empty()) held_.clear();
  if (!previous_.empty()) previous_.clear();
  if (!further_.empty()) further_.clear();
  if (function_.get()) function_ = Handle();
}

// Splits t[places_], applied to args_ from `firstExtra` on, into its function part
// (function_) and the arguments it is given. When the function part needs n of
// them and is given at least n, those beyond n become pending frames (the ones of
// t not built yet, but delayed), further_ holds the first n, and the result is true.
// Otherwise (fewer given, data, an unknown need) further_ holds them all, built.
template <bool kObserve>
inline bool Machine<kObserve>::splitApplication(Cell* t, std::size_t firstExtra) {
  ensureAnnotated(t);
  spine_.clear();  // t's arguments, the last first
  Cell* c = t;
  while (cells::isPair(c) && !cells::isDataMarked(c) && (terms::cachedMask(c) & places_.letters) != 0 &&
         !terms::isLambda(c) && !terms::isCurly(c)) {
    spine_.push_back(cells::rightOf(c));
    c = cells::leftOf(c);
  }
  function_ = instantiate(c, places_);
  std::size_t given = spine_.size() + (args_.size() - firstExtra);
  Cell* f = function_.get();
  ensureAnnotated(f);
  int needed = cells::isDataMarked(f) ? -1 : cells::annotationValue(f);
  bool split = needed >= 0 && needed <= 10 && given >= std::size_t(needed);
  std::size_t built = split ? std::size_t(needed) : given;
  if (split && given > built) pushBeyond(built, firstExtra);  // more given than needed
  buildArguments(built, firstExtra, split ? f : nullptr);
  return split;
}

// further_ := the first n arguments of the split: t's own built, the rest taken from
// args_ from `firstExtra` on. When f is given (the split made) and its application
// evaluates its arguments (evaluatesArguments), an argument that is a test is
// decided (decideTests), and the argument that the reference would evaluate first,
// every one before it being a value, is evaluated now when that cannot have an
// effect (argumentAtOnce).
template <bool kObserve>
void Machine<kObserve>::buildArguments(std::size_t n, std::size_t firstExtra, const Cell* f) {
  int evaluated = -1;  // whether f evaluates its arguments, asked at the first part that may tell
  bool valuesSoFar = f && isValue(const_cast<Cell*>(f));
  further_.clear();
  for (std::size_t i = 0; i < n; ++i) {
    if (i >= spine_.size()) {
      further_.emplace_back(args_[firstExtra + i - spine_.size()]);
    } else {
      Cell* part = spine_[spine_.size() - 1 - i];
      if (f && cells::isPair(part) && (terms::cachedMask(part) & places_.letters) != 0) {
        if (evaluated < 0) evaluated = evaluatesArguments(f);
        if (evaluated && mayDecide(part, false)) part = decideTests(part, nullptr);
        if (evaluated && valuesSoFar && cells::isPair(part)) {
          if (Handle v = argumentAtOnce(part)) {
            further_.push_back(std::move(v));
            valuesSoFar = isValue(further_.back().get());
            continue;
          }
        }
      }
      further_.push_back(instantiate(part, places_));
    }
    valuesSoFar = valuesSoFar && isValue(further_.back().get());
  }
  givenValues_ = valuesSoFar;
}

// The values of `letters` in places_, held for a part of a reduct built later.
template <bool kObserve>
Bindings* Machine<kObserve>::capture(uint32_t letters) {
  return Bindings::make(letters, places_);
}

// Pushes the arguments from `first` on as pending frames, the last deepest: extra
// arguments as they are, t's own delayed under the values they use.
template <bool kObserve>
void Machine<kObserve>::pushBeyond(std::size_t first, std::size_t firstExtra) {
  for (std::size_t i = args_.size(); i-- > firstExtra && i - firstExtra + spine_.size() >= first;)
    push(Handle(args_[i]), true);
  if (first >= spine_.size()) return;
  std::size_t delayed = spine_.size() - first;  // spine_[0 .. delayed)
  uint32_t used = 0;
  for (std::size_t i = 0; i < delayed; ++i) used |= terms::cachedMask(spine_[i]);
  used &= places_.letters;
  Bindings* bindings = capture(used);
  for (std::size_t i = 0; i < delayed; ++i) {
    if ((terms::cachedMask(spine_[i]) & used) == 0)
      push(Handle(spine_[i]), true);  // nothing to substitute: shared as it stands
    else
      frames_.push_back({Handle(spine_[i]), BindingsRef(bindings), true});
  }
  if (bindings->holders == 0) Bindings::recycle(bindings);
}

// The saturated application of function_ to further_, when its spine's head names
// a definition and either never duplicates an argument or is given only values (the
// reference evaluates the arguments of any other head first): binds the
// definition's parameters to all its arguments and moves t to its body, for the
// next round.
template <bool kObserve>
bool Machine<kObserve>::callAtOnce(Cell*& t, std::size_t& firstExtra) {
  Cell* head = spineHead(function_.get());
  if (!isName(head) || (!isNonDuplicating(head) && !givenValues_)) return false;
  const Resolution& resolution = resolve(head);
  if (resolution.kind != HeadKind::defined || !resolution.definition || resolution.unit) return false;
  ++stepCount();
  previous_.swap(held_);  // the values bound so far live until the next split
  held_.clear();
  if (cells::isAtom(function_.get())) {  // the usual call by name: further_ holds every argument
    held_.swap(further_);
  } else {
    for (Cell* c = function_.get(); cells::isPair(c) && !cells::isDataMarked(c); c = cells::leftOf(c))
      held_.emplace_back(cells::rightOf(c));
    std::reverse(held_.begin(), held_.end());
    for (Handle& a : further_) held_.push_back(std::move(a));
  }
  args_.clear();
  for (const Handle& a : held_) args_.push_back(a.get());
  entered(resolution, 0);
  firstExtra = bindParameters(shapeOf(resolution), t);
  return true;
}

// e := (function_ a1 .. an), the arguments in further_.
template <bool kObserve>
void Machine<kObserve>::buildApplication() {
  Handle e = std::move(function_);
  for (Handle& a : further_) e = apply(std::move(e), std::move(a));
  e_ = std::move(e);
}

// What an observed run does beyond the plain one (eval/observe.h).
template <bool kObserve>
void Machine<kObserve>::startObserving() {
  stepLimit_ = observation().maxSteps ? stepCount() + observation().maxSteps : ~0ull;
  if (observation().profiling()) callProfile().start();
  callTrace().setNames(observation().traced);
}

// The step limit, a stop signal's request for the profile, and the calls whose
// values have come: false when the run must end here.
template <bool kObserve>
bool Machine<kObserve>::observeStep() {
  if (stepCount() >= stepLimit_) [[unlikely]] {
    stepLimitReached() = true;
    return false;
  }
  if (cells::stopRequested()) [[unlikely]]
    cells::writeAndStop();
  if (observation().profiling()) callProfile().unwind(frames_.size());
  callTrace().at(frames_.size(), e_.get());
  return true;
}

template <bool kObserve>
void Machine<kObserve>::observeEntry(const Resolution& resolution, std::size_t pending) {
  if (!resolution.entered) {
    if (resolution.definition && observation().profiling())
      callProfile().countCombinator(cells::firstByte(resolution.atom));
    return;
  }
  std::size_t depth = frames_.size() - pending;
  std::string_view name = cells::text(resolution.atom);
  if (observation().profiling()) callProfile().enter(resolution.entered, name, depth);
  if (callTrace().active() && callTrace().traces(resolution.entered, name))
    callTrace().enter(name, traceArguments(pending), depth);
}

// The arguments of a traced call: those of the application, then those still in the
// innermost frames, built for the printer when they are delayed.
template <bool kObserve>
std::vector<const Cell*> Machine<kObserve>::traceArguments(std::size_t pending) {
  std::vector<const Cell*> arguments(args_.begin(), args_.end());
  traced_.clear();
  for (std::size_t i = 1; i <= pending; ++i) {
    Frame& f = frames_[frames_.size() - i];
    traced_.push_back(f.bindings.get() ? instantiate(f.cell.get(), f.bindings.get()->places()) : f.cell);
    arguments.push_back(traced_.back().get());
  }
  return arguments;
}

}  // namespace

}  // namespace eval

#include "eval/machine_at_once.h"
