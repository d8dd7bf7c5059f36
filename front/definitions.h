// The process-wide tables that the front end fills and later phases read: the
// definitions (name to term; the empty name holds the main expression and, after a
// run, its result) and the names defined in the unit form name()\body.
#pragma once

#include <map>
#include <set>
#include <string>

#include "cells/cell.h"

namespace front {

using Definitions = std::map<std::string, cells::Handle, std::less<>>;

Definitions& definitions();
std::set<std::string, std::less<>>& unitDefinitions();

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
