// Real atoms and their conversions.
#include "numbers/real.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "numbers/numeral.h"

namespace numbers {

cells::Handle realFromDouble(double d) {
  return cells::makeAtomWith(9, [d](char* out) {
    out[0] = ' ';
    std::memcpy(out + 1, &d, sizeof d);
  });
}

bool isReal(const cells::Cell* c) { return cells::firstByte(c) == ' ' && cells::text(c).size() == 9; }

double doubleFromReal(const cells::Cell* real) {
  cells::invariant(isReal(real), "double of a value that is not a real");
  return std::bit_cast<double>(cells::realBits(real));
}

std::string realText(const cells::Cell* real) {
  char buffer[99];
  int n = std::snprintf(buffer, sizeof buffer, "%e", doubleFromReal(real));
  return std::string(buffer, std::size_t(n));
}

double doubleFromInteger(std::string_view numeral) {
  std::string c(numeral);
  if (isNegativeText(c)) c[0] = '-';
  return std::strtod(c.c_str(), nullptr);
}

}  // namespace numbers
