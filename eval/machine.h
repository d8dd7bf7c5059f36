// The fast machine: the rewriting machine of engine.h with its continuation held
// on a native stack of frames instead of as a term. It takes the same rewrites in
// the same order as the reference machine (reference_machine.h), so results,
// effects and reports are the same; only the cost of a step differs.
#pragma once

#include "cells/cell.h"

namespace eval {

cells::Handle evaluateFast(cells::Handle term);

// The same machine observing its run (eval/observe.h): evaluateFast chooses it when
// an observation is asked for.
cells::Handle evaluateObserved(cells::Handle term);

}  // namespace eval
