// The fast machine in its plain form, and the choice of form for a run.
#include "eval/machine.h"

#include "eval/machine_steps.h"
#include "eval/observe.h"

namespace eval {

cells::Handle evaluateFast(cells::Handle term) {
  if (observation().any()) return evaluateObserved(std::move(term));
  return Machine<false>().run(std::move(term));
}

}  // namespace eval
