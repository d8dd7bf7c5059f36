// The phase sequence. Each phase runs only while the record is still empty.
#include "driver/phases.h"

#include "cells/convert.h"
#include "compile/checks.h"
#include "eval/engine.h"
#include "eval/link.h"
#include "eval/observe.h"
#include "front/prelude.h"
#include "front/reader.h"

namespace driver {

int64_t runPhases(const std::string& program, char** arguments, Diagnostic& d) {
  front::loadPrelude();
  d = front::readProgram(program);
  if (!d.empty()) return 0;
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
