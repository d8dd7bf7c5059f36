// What both machines share: the value test, the classification of heads, the step
// counters, and the choice of machine.
#include "eval/engine.h"

#include <cstdlib>
#include <cstring>

#include "cells/convert.h"
#include "eval/machine.h"
#include "eval/observe.h"
#include "eval/reference_machine.h"
#include "library/builtin_table.h"
#include "terms/annotation.h"

namespace eval {

using cells::Cell;

unsigned long long& stepBudget() {
  static unsigned long long budget = 0;
  return budget;
}

bool& budgetReached() {
  static bool reached = false;
  return reached;
}

MachineKind& machineKind() {
  static MachineKind kind = [] {
    const char* chosen = std::getenv("VORL_MACHINE");
    return chosen && std::strcmp(chosen, "reference") == 0 ? MachineKind::reference : MachineKind::fast;
  }();
  return kind;
}

HeadKind classifyHead(const Cell* head) {
  using cells::AtomKind;
  if (cells::isPair(head)) return HeadKind::defined;
  switch (cells::atomKind(head)) {
    // An atom that only begins like a number ("5a") is no numeral: it names nothing.
    case AtomKind::numeral:
      return cells::numeralForm(head) == cells::NumeralForm::none ? HeadKind::defined : HeadKind::numeral;
    case AtomKind::countedBinary: return HeadKind::byteString;
    case AtomKind::fixedBinary: return HeadKind::real;
    case AtomKind::update: return HeadKind::update;
    default: break;
  }
  if (cells::isAtomText(head, "{")) return HeadKind::strictBinding;
  if (cells::isAtomText(head, "\\")) return HeadKind::lambda;
  if (library::findBuiltin(cells::text(head))) return HeadKind::builtin;
  return HeadKind::defined;
}

// An observed run (eval/observe.h) takes the fast machine, which alone observes.
cells::Handle evaluate(cells::Handle term) {
  if (machineKind() == MachineKind::reference && !observation().any())
    return evaluateReference(std::move(term));
  return evaluateFast(std::move(term));
}

}  // namespace eval
