// The phase sequence. Each phase is one line below; later phases plug in here.
#include "driver/phases.h"

namespace driver {

int64_t runPhases(const std::string& program, char** arguments, Diagnostic& d) {
  (void)program;
  (void)arguments;
  (void)d;
  return 0;
}

}  // namespace driver
