// Reals: one IEEE 754 double in a nine-byte atom, a blank followed by the double's
// eight bytes in the host's byte order.
#pragma once

#include "cells/cell.h"

namespace numbers {

cells::Handle realFromDouble(double d);

}  // namespace numbers
