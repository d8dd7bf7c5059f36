// The built-in `type`: the tag of a value's kind.
#pragma once

#include "library/adapt.h"

namespace library {

// "[post]", "[real]", "[hint]", "[numb]", "[zits]" or "[void]", one shared atom each.
Handle typeImpl(Term x);

}  // namespace library
