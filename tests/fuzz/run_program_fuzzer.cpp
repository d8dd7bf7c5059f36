// Runs arbitrary bytes as a whole program: reading, checks, linking and evaluation
// under a step budget, once on the reference machine, once on the fast one and once
// on the fast one profiling its run, and fails when they differ in the report or the
// result. This build's built-ins
// answer "Z" wherever the host would be reached, so the fuzzer explores the
// language itself.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "compile/intern.h"
#include "compile/loader.h"
#include "compile/printer.h"
#include "eval/engine.h"
#include "eval/link.h"
#include "eval/observe.h"
#include "front/definitions.h"
#include "front/prelude.h"
#include "front/reader.h"
#include "library/language.h"
#include "numbers/value_kind.h"

namespace {

constexpr unsigned long long kBudget = 20000;

struct Outcome {
  std::string report;  // the diagnostic's report, or the printed result
  bool budgetReached = false;
};

// The fast machine does in one step at least what the reference does in one, so a
// program that the reference finishes within its budget finishes within the fast
// machine's larger one.
Outcome run(std::string_view text, eval::MachineKind machine, bool profiled = false) {
  eval::machineKind() = machine;
  eval::observation().profile = profiled;
  eval::resetObservations();
  eval::stepBudget() = machine == eval::MachineKind::reference ? kBudget : 4 * kBudget;
  eval::budgetReached() = false;
  front::loadPrelude();
  driver::Diagnostic d = front::readProgram(text);
  char* noWords[] = {nullptr};
  if (d.empty()) eval::linkAndRun(d, noWords);
  Outcome outcome{d.empty() ? compile::printTerm(eval::programResult()) : driver::report(d),
                  eval::budgetReached()};
  library::clearLanguageStores();
  front::clearTables();
  compile::clearInterned();
  eval::observation().profile = false;
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  numbers::installCellSeams();
  compile::installLanguageSeams();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Outcome reference = run(text, eval::MachineKind::reference);
  Outcome fast = run(text, eval::MachineKind::fast);
  Outcome profiled = run(text, eval::MachineKind::fast, true);
  if (profiled.budgetReached != fast.budgetReached || profiled.report != fast.report) {
    std::fprintf(stderr, "profiling changes the run:\nfast:\n%s\nprofiled:\n%s\n", fast.report.c_str(),
                 profiled.report.c_str());
    std::abort();
  }
  if (reference.budgetReached) return 0;
  if (fast.budgetReached || fast.report != reference.report) {
    std::fprintf(stderr, "the machines differ:\nreference:\n%s\nfast:\n%s\n", reference.report.c_str(),
                 fast.report.c_str());
    std::abort();
  }
  return 0;
}
