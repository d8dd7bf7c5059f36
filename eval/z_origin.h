// The built-in calls that answered "Z" (a wrong kind or a value out of range), and
// the first of them, so that a hint can say where a Z came from. Both machines note
// every built-in result through `noteBuiltinResult`; the rest of the run pays nothing.
#pragma once

#include <cstdint>
#include <string>

#include "cells/cell.h"
#include "cells/ending.h"
#include "cells/stop_signals.h"

namespace eval {

struct ZOrigin {
  std::string builtin;     // the built-in's name
  std::string kinds;       // its arguments' kinds, as "integer, text"
  std::string definition;  // the definition last entered before the call ("" the main expression)
  bool inDefinition = false;
};

// The definition table entry that a machine entered last: one store per call.
inline const cells::Handle*& lastEntered() {
  static const cells::Handle* entered = nullptr;
  return entered;
}

// Whether a built-in's result is the undefined value "Z".
inline bool isZAnswer(const cells::Cell* result) {
  return cells::isAtom(result) && cells::chars(result)[0] == 'Z' && cells::chars(result)[1] == '\0';
}

// Called with every built-in application and its result; the application is read
// only when the result is "Z" (isZAnswer).
inline void noteBuiltinResult(const cells::Cell* application, const cells::Cell* result) {
  if (isZAnswer(result)) [[unlikely]] {
    void noteZ(const cells::Cell* application);
    noteZ(application);
  }
}

// What both machines do after every built-in call: note a Z, and end a run whose
// standard output's reader has gone (see cells/stop_signals.h).
inline void afterBuiltinCall(const cells::Cell* application, const cells::Cell* result) {
  noteBuiltinResult(application, result);
  if (cells::standardOutputBroken()) [[unlikely]]
    cells::endForBrokenOutput();
}

uint64_t zAnswers();
const ZOrigin* firstZ();  // null when no built-in answered Z

}  // namespace eval
