// Real atoms.
#include "numbers/real.h"

#include <cstring>

namespace numbers {

cells::Handle realFromDouble(double d) {
  return cells::makeAtomWith(9, [d](char* out) {
    out[0] = ' ';
    std::memcpy(out + 1, &d, sizeof d);
  });
}

}  // namespace numbers
