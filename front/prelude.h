// The prelude: one text in the language's own definition syntax that defines the
// combinators A to Z and gives every operator character its meaning.
#pragma once

#include <string_view>

namespace front {

// 51 entries on one line, each after a comma.
std::string_view preludeText();

// Builds the built-in table on first use, resets the tables and stores the
// prelude's definitions.
void loadPrelude();

}  // namespace front
