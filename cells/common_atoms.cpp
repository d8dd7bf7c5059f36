// The shared common atoms.
#include "cells/common_atoms.h"

namespace cells {

const Handle& common(Common which) {
  static const Handle atoms[] = {makeAtom("Z"), makeAtom("I"), makeAtom("K"),
                                 makeAtom("H"), makeAtom("V"), makeAtom("[")};
  return atoms[static_cast<int>(which)];
}

}  // namespace cells
