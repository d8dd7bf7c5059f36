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

static unsigned long long& generation() {
  static unsigned long long count = 0;
  return count;
}

unsigned long long tablesGeneration() { return generation(); }

void clearTables() {
  ++generation();
  definitions().clear();
  preludeSnapshot().clear();
  unitDefinitions().clear();
}

}  // namespace front
