// The interactive session: each input is a definition, which joins the session,
// or an expression, whose value is shown. `vorl -i`, or `vorl` alone on a terminal.
#pragma once

#include <string>
#include <string_view>

#include "cells/cell.h"

namespace driver {

// Reads inputs from standard input until its end or ":quit"; gives the exit status.
int runSession();

// An expression's value as the session shows it: an integer in decimal with a minus
// sign, a text as its content, a real in full precision, anything else in the
// printer's form.
std::string shownValue(const cells::Cell* value);

// True while `text` needs another line: a bracket is still open, or it ends with
// `\` or `,`.
bool inputContinues(std::string_view text);

}  // namespace driver
