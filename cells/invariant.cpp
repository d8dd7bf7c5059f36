// Reporting of failed internal consistency checks.
#include "cells/invariant.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace cells {

void failInvariant(const char* message, const char* file, unsigned line) {
  std::fflush(stdout);
  std::fprintf(stderr, "ASSERTION FAILED:%s:%u: %s\n", file, line, message);
  std::signal(SIGABRT, SIG_DFL);  // an abort, whatever call was running
  std::abort();
}

}  // namespace cells
