// A test-only rendering of terms: an atom is its text, a pair (g a b) with its
// whole left spine inside one pair of parentheses.
#pragma once

#include <string>
#include <vector>

#include "cells/cell.h"

namespace front {

inline std::string termText(const cells::Cell* c) {
  if (cells::isAtom(c)) return std::string(cells::text(c));
  std::vector<const cells::Cell*> args;
  for (; cells::isPair(c); c = cells::leftOf(c)) args.push_back(cells::rightOf(c));
  std::string out = "(" + termText(c);
  for (auto it = args.rbegin(); it != args.rend(); ++it) out += " " + termText(*it);
  return out + ")";
}

inline std::string termText(const cells::Handle& h) { return termText(h.get()); }

}  // namespace front
