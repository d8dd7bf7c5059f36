// The phase sequence. Each phase runs only while the record is still empty.
#include "driver/phases.h"

#include <cstdio>

#include "cells/convert.h"
#include "compile/checks.h"
#include "driver/hints.h"
#include "eval/engine.h"
#include "eval/link.h"
#include "eval/observe.h"
#include "front/definitions.h"
#include "front/prelude.h"
#include "front/reader.h"

namespace driver {

// A name given to --trace that the program does not define traces nothing: said
// before the run, with the names it may have meant.
static void sayUndefinedTraces() {
  for (const std::string& name : eval::observation().traced) {
    if (front::definitions().contains(name)) continue;
    std::string near = nearestNames(name);
    std::fprintf(stderr, "vorl: --trace %s: the program defines no %s%s\n", escapeName(name).c_str(),
                 escapeName(name).c_str(), near.empty() ? "" : (" (did you mean " + near + "?)").c_str());
  }
}

int64_t runPhases(const std::string& program, char** arguments, Diagnostic& d) {
  front::loadPrelude();
  d = front::readProgram(program);
  if (!d.empty()) return 0;
  sayUndefinedTraces();
  eval::linkAndRun(d, arguments);
  if (!d.empty()) return 0;
  return cells::int64FromCell(eval::programResult().get());
}

cells::Handle runSessionPhases(const std::string& program, bool evaluate, Diagnostic& d) {
  front::loadPrelude();
  d = front::readProgram(program);
  if (d.empty()) compile::checkAndCompile(d);
  if (!d.empty() || !evaluate) return {};
  cells::Handle value = eval::evaluate(eval::programResult());
  if (eval::stepLimitReached()) fail(d, "Steps", eval::stepLimitMessage());
  return value;
}

}  // namespace driver
