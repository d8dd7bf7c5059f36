// The reference machine: the rewriting machine whose continuations are terms, kept
// as it was first built so that the fast machine can be tested against it on every
// program (VORL_MACHINE=reference selects it).
#pragma once

#include "cells/cell.h"

namespace eval {

cells::Handle evaluateReference(cells::Handle term);

}  // namespace eval
