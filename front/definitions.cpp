// The process-wide definition tables.
#include "front/definitions.h"

namespace front {

Definitions& definitions() {
  static Definitions table;
  return table;
}

Definitions& preludeSnapshot() {
  static Definitions table;
  return table;
}

std::set<std::string, std::less<>>& unitDefinitions() {
  static std::set<std::string, std::less<>> names;
  return names;
}

void clearTables() {
  ++tablesEmptied;
  definitions().clear();
  preludeSnapshot().clear();
  unitDefinitions().clear();
}

}  // namespace front
