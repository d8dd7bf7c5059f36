// Reporting of failed internal consistency checks.
#include "cells/invariant.h"

#include <cstdio>
#include <cstdlib>

namespace cells {

void failInvariant(const char* message, std::source_location where) {
  std::fflush(stdout);
  std::fprintf(stderr, "ASSERTION FAILED:%s:%u: %s\n", where.file_name(),
               static_cast<unsigned>(where.line()), message);
  std::abort();
}

}  // namespace cells
