// What the arithmetic operators do with byte strings ("[post]": "(" + base-64 length
// digits + ")" + payload) and texts ("[zits]": one bracket group, "[abc]"): joining
// for `plus`, cutting for `dash`, repeating for `mult`, and their byte order.
// A text's bytes are its content between the outer brackets, where "[p]" stands for
// a newline, "[q]" for "[" and "[r]" for "]".
#pragma once

#include <string>
#include <string_view>

#include "cells/cell.h"

namespace numbers {

using cells::ValueKind;

std::string_view textContent(const cells::Cell* textAtom);
// True when the content holds no "[", "]" or line feed: its decoding is itself.
bool isPlainContent(std::string_view content);
std::string decodeText(std::string_view content);
std::string encodeText(std::string_view bytes);
cells::Handle makeByteString(std::string_view payload);
// The text of a content that is well formed (an encoding, a text's content, or
// several side by side): the atom is known to be a text from the start.
cells::Handle makeText(std::string_view content);

// x + y where either is a post or a text; kinds are valueKind letters. When x is a
// text that no one but this call can see (`soleX`), the join may grow x in place and
// return it: no one can tell, and a loop of joins onto one text stays linear.
cells::Handle textPlus(const cells::Cell* x, ValueKind kx, const cells::Cell* y, ValueKind ky,
                       bool soleX = false);
// The joins so far that grew their left text in place (VORL_STEPS=1 reports it).
unsigned long long& joinsInPlace();
// Drops the first n bytes (n > 0) or the last |n| (n <= 0); "Z" when |n| is longer
// than the text. `n` is a numeral text.
cells::Handle textDash(const cells::Cell* x, ValueKind kx, std::string_view n);
// n copies of the text, built by doubling; "Z" for a negative n.
cells::Handle textMult(const cells::Cell* x, ValueKind kx, std::string_view n);
// Byte order of two posts or two texts: memcmp over the shorter, then the shorter first.
int compareTexts(const cells::Cell* x, const cells::Cell* y, ValueKind kind);

}  // namespace numbers
