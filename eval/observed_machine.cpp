// The fast machine in its observing form (eval/observe.h).
#include "eval/machine.h"

#include "eval/machine_steps.h"
#include "eval/profile.h"

namespace eval {

cells::Handle evaluateObserved(cells::Handle term) {
  cells::Handle value = Machine<true>().run(std::move(term));
  callProfile().stop();
  return value;
}

}  // namespace eval
