// Reporting of failed internal consistency checks.
#include "cells/invariant.h"

#include <cstdio>
#include <cstdlib>

namespace cells {

void failInvariant(const char* message, const char* file, unsigned line) {
  std::fflush(stdout);
  std::fprintf(stderr, "ASSERTION FAILED:%s:%u: %s\n", file, line, message);
  std::abort();
}

}  // namespace cells
