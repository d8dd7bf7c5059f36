// The phase sequence. Each phase runs only while the record is still empty.
#include "driver/phases.h"

#include "compile/checks.h"
#include "front/prelude.h"
#include "front/reader.h"

namespace driver {

int64_t runPhases(const std::string& program, char** arguments, Diagnostic& d) {
  (void)arguments;
  front::loadPrelude();
  d = front::readProgram(program);
  if (!d.empty()) return 0;
  compile::checkAndCompile(d);
  return 0;
}

}  // namespace driver
