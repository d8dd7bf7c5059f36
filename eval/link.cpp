// Linking, the run, and the judgement of the result.
#include "eval/link.h"

#include <cstdio>
#include <cstdlib>

#include "cells/convert.h"
#include "compile/checks.h"
#include "compile/printer.h"
#include "eval/engine.h"
#include "eval/observe.h"
#include "front/definitions.h"
#include "numbers/text_ops.h"
#include "numbers/value_kind.h"

namespace eval {

std::string shortened(const std::string& text) {
  return text.size() <= 56 ? text : text.substr(0, 53) + "...";
}

// Decision: nothing in this interpreter reports a cycle through its result, so a
// byte string ("(" + length + ")" + bytes) is judged like any other value that is
// not an integer.
static void judge(driver::Diagnostic& d, cells::Handle result) {
  if (stepLimitReached()) {
    driver::fail(d, "Steps", stepLimitMessage());
    return;
  }
  if (cells::isInteger(result.get())) {
    front::setMainExpression(std::move(result));
    return;
  }
  std::string printed = compile::printTerm(result);
  driver::fail(d, "Range", "The program must return an integer. Instead we encountered:\n" + printed,
               shortened(printed));
}

std::string stepLimitMessage() {
  return "The run was stopped after " + std::to_string(observation().maxSteps) +
         " machine steps, the limit that --max-steps sets.";
}

void linkAndRun(driver::Diagnostic& d, char** arguments) {
  compile::checkAndCompile(d);
  if (!d.empty()) return;
  cells::Handle argument = cells::numeralFromInt64(int64_t(reinterpret_cast<uintptr_t>(arguments)));
  cells::Handle main = front::mainExpression();
  judge(d, evaluate(cells::makePair(std::move(main), std::move(argument))));
  // VORL_STEPS=1 reports the number of machine steps, of joins that grew a text in
  // place and of cells made, for measuring the engine.
  if (const char* report = std::getenv("VORL_STEPS"); report && *report == '1')
    std::fprintf(stderr, "steps: %llu\njoins in place: %llu\ncells made: %zu\n", stepCount(),
                 numbers::joinsInPlace(), cells::cellsMade());
}

cells::Handle programResult() {
  auto found = front::definitions().find("");
  cells::invariant(found != front::definitions().end(), "no program result");
  return found->second;
}

}  // namespace eval
