// Reads arbitrary bytes as a program file and checks it: the bracket check, the
// normaliser, the parser, the reader and every check and pass must give a result or
// a diagnostic, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "compile/checks.h"
#include "compile/intern.h"
#include "compile/loader.h"
#include "front/definitions.h"
#include "front/prelude.h"
#include "front/reader.h"
#include "numbers/value_kind.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  numbers::installCellSeams();
  compile::installLanguageSeams();
  front::loadPrelude();
  driver::Diagnostic d = front::readProgram(std::string_view(reinterpret_cast<const char*>(data), size));
  if (d.empty()) compile::checkAndCompile(d);
  front::clearTables();
  compile::clearInterned();
  return 0;
}
