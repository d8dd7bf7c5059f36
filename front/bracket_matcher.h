// The bracket check that runs on the raw program text before anything else: the
// three kinds of bracket nest properly, and a comma inside parentheses occurs only
// in a call list. Positions in its messages are byte offsets of the raw text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "driver/diagnostic.h"

namespace front {

// A position as five base-64 digits ("_____" is 0, "___a_" is 64); "!!!!!" for
// positions of 2^30 and beyond.
std::string positionCode(int64_t n);

// True when the text is well bracketed; otherwise fills `d` ("Match" or "Comma",
// the position in its integer field) and returns false.
bool checkBrackets(std::string_view text, driver::Diagnostic& d);

// Deepest nesting of brackets that a program may use. The parser descends once
// per level; this bound keeps that descent within the interpreter's stack: a
// million levels on the full reservation, fewer on a smaller stack that the host
// granted (kStackPerLevel bytes a level, a generous bound for every build).
inline constexpr std::size_t kDeepestNesting = 1'000'000;
inline constexpr std::size_t kStackPerLevel = 4096;
std::size_t deepestNesting();

}  // namespace front
