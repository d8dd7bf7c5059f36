// The process-wide definition tables.
#include "front/definitions.h"

namespace front {

Definitions& definitions() {
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
  unitDefinitions().clear();
}

}  // namespace front
