// Decimal conversions of GMP integers (subquadratic inside GMP for long texts).
#include "numbers/mpz.h"

#include <cstdlib>

#include "cells/cell.h"
#include "cells/invariant.h"
#include "cells/memory_budget.h"

namespace numbers {

// GMP's blocks count against the memory budget like the cells' own.
static void* mpzAllocate(std::size_t bytes) { return cells::budgetAllocate(bytes); }
static void* mpzReallocate(void* old, std::size_t, std::size_t bytes) {
  return cells::budgetReallocate(old, bytes);
}
static void mpzFree(void* p, std::size_t) { cells::budgetFree(p); }

void installMpzAllocation() { mp_set_memory_functions(&mpzAllocate, &mpzReallocate, &mpzFree); }

Mpz mpzFromDigits(std::string_view digits) {
  Mpz m;
  if (digits.empty()) return m;
  std::string nulTerminated(digits);
  cells::invariant(mpz_set_str(m.get(), nulTerminated.c_str(), 10) == 0, "digits expected");
  return m;
}

std::string digitsOfMpz(const Mpz& magnitude) {
  std::string out(mpz_sizeinbase(magnitude.get(), 10) + 2, '\0');
  mpz_get_str(out.data(), 10, magnitude.get());
  out.resize(std::char_traits<char>::length(out.c_str()));
  return out;
}

}  // namespace numbers
