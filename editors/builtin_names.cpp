// Prints the name of every built-in, one a line, in the table's order: the list that
// editors/generate.py writes into the editor files (cmake target editor_files).
#include <cstdio>

#include "library/builtin_table.h"

int main() {
  for (const auto& [name, entry] : library::builtinTable()) std::printf("%s\n", name.c_str());
  return 0;
}
