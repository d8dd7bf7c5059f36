// Substitution of values for place letters in a term, sharing every sub-term in
// which none of the letters is free.
#pragma once

#include <cstdint>

#include "cells/cell.h"

namespace eval {

// Values for some of the 26 place letters: bit i of `letters` says that values[i]
// stands for the letter 'a' + i.
struct Places {
  uint32_t letters = 0;
  const cells::Cell* values[26];  // only those of `letters` are read: a call sets a few

  void bind(unsigned char letter, const cells::Cell* value) {
    letters |= uint32_t{1} << (letter - 'a');
    values[letter - 'a'] = value;
  }
};

// t with every free occurrence of each bound letter replaced by its value, all at
// once. A lambda or curly form whose key is one of the letters binds it again: its
// scope is not entered for that letter.
cells::Handle substitute(cells::Cell* t, const Places& places);

}  // namespace eval
