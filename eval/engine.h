// The reduction engine: a rewriting machine whose state is a continuation k and the
// expression e under evaluation. In the language's terms continuations are terms
// themselves: the atom "I" ends the run, and ((B a) b) waits for a value v to
// continue with a (b v). The graph annotation cached in each cell says what is
// ready to be rewritten. Two machines implement it: the fast one (machine.h), and
// the reference (reference_machine.h), which keeps its continuations as terms and
// which the fast one is tested against.
#pragma once

#include "cells/cell.h"
#include "terms/annotation.h"

namespace eval {

// What the head of a saturated application is, which selects its rewrite.
enum class HeadKind {
  builtin,        // a name in the built-in table
  strictBinding,  // "{": X{B}C
  lambda,         // "\": (\ X body) v
  numeral,        // an integer or numb numeral
  byteString,     // "(" + length + ")" + bytes
  real,           // " " + eight bytes
  update,         // ")name" v: writes a unit definition's value back
  defined,        // a program definition, a combinator, an operator, or nothing known
};

HeadKind classifyHead(const cells::Cell* head);

// A cell is a value when it is "@" data, or its flag is clear and it needs at least
// one more argument. Inline: both machines ask at nearly every step.
[[gnu::always_inline]] inline bool isValue(cells::Cell* c) {
  if (!cells::isAnnotated(c)) [[unlikely]]
    terms::annotate(c);
  return cells::isDataMarked(c) || (!cells::annotationFlag(c) && cells::annotationValue(c) >= 1);
}

// Reduces `term` to a value, with the machine that machineKind() names.
cells::Handle evaluate(cells::Handle term);

// The machine that `evaluate` uses: the fast one, unless the environment variable
// VORL_MACHINE is "reference" at start-up. Tests set it directly.
enum class MachineKind { fast, reference };
MachineKind& machineKind();

// The number of machine steps taken since the process started (for benchmarks).
// Inline: the machine counts at every rewrite.
inline unsigned long long stepsTaken = 0;
inline unsigned long long& stepCount() { return stepsTaken; }

// At most this many steps per evaluation when not 0; a run that needs more ends
// with the undefined value "Z" and sets budgetReached(). Only the fuzzers set it:
// programs run unbounded.
unsigned long long& stepBudget();
bool& budgetReached();

}  // namespace eval
