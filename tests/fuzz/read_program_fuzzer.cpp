// Reads arbitrary bytes as a program file: the bracket check, the normaliser, the
// parser and the reader must give a result or a diagnostic, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "front/definitions.h"
#include "front/prelude.h"
#include "front/reader.h"
#include "numbers/value_kind.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  numbers::installCellSeams();
  front::loadPrelude();
  driver::Diagnostic d = front::readProgram(std::string_view(reinterpret_cast<const char*>(data), size));
  (void)d;
  front::clearTables();
  return 0;
}
