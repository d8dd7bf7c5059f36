// The process-wide definition tables and every change of their entries.
#include "front/definitions.h"

#include "cells/common_atoms.h"

namespace front {

Definitions& definitions() {
  static Definitions table;
  return table;
}

static NameSet& unitNames() {
  static NameSet names;
  return names;
}

bool isUnitDefinition(std::string_view name) { return unitNames().count(name) != 0; }

void define(const std::string& name, cells::Handle term) { definitions()[name] = std::move(term); }

void defineRead(const std::string& name, cells::Handle term, bool unit) {
  if (unit) {
    define(name, cells::makePair(cells::common(cells::Common::I), std::move(term)));
    unitNames().insert(name);
  } else {
    define(name, std::move(term));
    unitNames().erase(name);
  }
}

cells::Handle* definitionEntry(std::string_view name) {
  auto found = definitions().find(name);
  return found == definitions().end() ? nullptr : &found->second;
}

cells::Handle mainExpression() { return definitions()[""]; }

void setMainExpression(cells::Handle term) { definitions()[""] = std::move(term); }

SavedTables saveTables() { return {definitions(), unitNames()}; }

void restoreTables(const SavedTables& saved) {
  auto& table = definitions();
  for (auto it = table.begin(); it != table.end();) {
    auto old = saved.definitions.find(it->first);
    if (old == saved.definitions.end()) {
      it = table.erase(it);
      continue;
    }
    if (it->second.get() != old->second.get()) it->second = old->second;
    ++it;
  }
  unitNames() = saved.units;
}

void restoreMainExpression(const SavedTables& saved) {
  auto running = saved.definitions.find("");
  if (running == saved.definitions.end()) definitions().erase("");
  else
    definitions()[""] = running->second;
}

void clearTables() {
  ++tablesEmptied;
  definitions().clear();
  unitNames().clear();
}

}  // namespace front
