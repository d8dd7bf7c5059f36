// The prelude: one text in the language's own definition syntax that defines the
// combinators A to Z and gives every operator character its meaning.
#pragma once

#include <string_view>

#include "library/builtin_table.h"

namespace front {

// 51 entries on one line, each after a comma.
std::string_view preludeText();

// Resets the tables, stores the prelude's definitions, takes the snapshot, and
// gives the built-in table (built on first use) for the reader.
const library::BuiltinTable& loadPrelude();

}  // namespace front
