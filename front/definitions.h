// The process-wide tables that the front end fills and later phases read: the
// definitions (name to term; the empty name holds the main expression and, after a
// run, its result) and the names defined in the unit form name()\body.
//
// Entries are added, replaced and removed only through the operations below, so that
// one file says how the table changes; the compile passes and loads may still rewrite
// the term of an entry in place through `definitions()`.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "cells/cell.h"

namespace front {

using Definitions = std::map<std::string, cells::Handle, std::less<>>;
using NameSet = std::set<std::string, std::less<>>;

Definitions& definitions();
bool isUnitDefinition(std::string_view name);

// Sets `name`'s entry to `term`; whether it is a unit definition stays as it was.
void define(const std::string& name, cells::Handle term);
// A definition read from program text: the unit form's body stored as I body and the
// name remembered as a unit definition; the plain form forgets that it was one.
void defineRead(const std::string& name, cells::Handle term, bool unit);
// The term of an existing entry, for a run that writes a unit definition's value
// back; nullptr when the name has no entry.
cells::Handle* definitionEntry(std::string_view name);

// The main expression (an empty handle made for it when there is none); after a run,
// the program's result.
cells::Handle mainExpression();
void setMainExpression(cells::Handle term);

// The table and the unit names as they were before a load at run time.
struct SavedTables {
  Definitions definitions;
  NameSet units;
};
SavedTables saveTables();
// Drops the entries added since `saved`, gives changed entries their old terms back
// (in place, so that what refers to an entry keeps it), and the unit names.
void restoreTables(const SavedTables& saved);
// Puts the saved main expression back under the empty name, or removes the entry.
void restoreMainExpression(const SavedTables& saved);

// A definition that is just another name is an alias; chains of them are followed
// this many steps at most, so that a cycle of aliases ends.
inline constexpr int kAliasHops = 8;

// Empties both, releasing every cell they hold.
void clearTables();

// Counts the times the tables were emptied, so that anything that remembers where a
// definition lives can tell that its memory is stale.
// Inline: the machine asks at every call.
inline unsigned long long tablesEmptied = 0;  // written by clearTables only
inline unsigned long long tablesGeneration() { return tablesEmptied; }

}  // namespace front
