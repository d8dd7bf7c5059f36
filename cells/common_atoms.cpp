// The shared common atoms.
#include "cells/common_atoms.h"

namespace cells {

const Handle* makeCommonAtoms() {
  static const Handle atoms[] = {makeAtom("Z"), makeAtom("I"), makeAtom("K"),
                                 makeAtom("H"), makeAtom("V"), makeAtom("[")};
  commonAtoms = atoms;
  return atoms;
}

}  // namespace cells
