// Runs arbitrary bytes as a whole program: reading, checks, linking and evaluation
// under a step budget. This build's built-ins answer "Z" wherever the host would be
// reached, so the fuzzer explores the language itself.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "compile/intern.h"
#include "compile/loader.h"
#include "eval/engine.h"
#include "eval/link.h"
#include "front/definitions.h"
#include "front/prelude.h"
#include "front/reader.h"
#include "library/language.h"
#include "numbers/value_kind.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  numbers::installCellSeams();
  compile::installLanguageSeams();
  eval::stepBudget() = 20000;
  front::loadPrelude();
  driver::Diagnostic d = front::readProgram(std::string_view(reinterpret_cast<const char*>(data), size));
  char* noWords[] = {nullptr};
  if (d.empty()) eval::linkAndRun(d, noWords);
  library::clearLanguageStores();
  front::clearTables();
  compile::clearInterned();
  return 0;
}
