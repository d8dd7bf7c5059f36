// The built-in table: every name a program can call without defining it, with its
// arity and implementation. The front end reads it to know which names exist; the
// reduction engine calls an implementation once its name has all its arguments.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "cells/cell.h"

namespace library {

// Calling convention: the engine holds the application cell (the built-in's name
// applied to its arguments, nested to the left: the last argument is the right child
// of the cell) for the duration of the call; the implementation returns one owned
// result. Arguments are never changed; a wrong kind gives "Z".
using BuiltinFn = cells::Handle (*)(const cells::Cell* application);
// The same given the arguments, the first first, none of them held by the call alone.
using BuiltinArgumentsFn = cells::Handle (*)(const cells::Cell* const* arguments);

// A row that reaches the host (memory, files, sockets, the process, or a C string
// given by its address) may fault inside the C library: its `impl` is then the
// guarded form of the call (library/host_fault.h), which turns a fault into a
// report. `guarded` is that form and `readsAddress` tells that a C string argument
// may be an address; both are filled for every row, and the table picks.
struct BuiltinEntry {
  uint8_t arity;
  BuiltinFn impl;
  BuiltinFn guarded = nullptr;
  bool readsAddress = false;
  bool pure = false;  // no effect beyond its result: called plain, never guarded
  // The call given its arguments, with no application built: `impl`'s plain or
  // guarded form, as the table picks; null where impl is neither.
  BuiltinArgumentsFn onArguments = nullptr;
  BuiltinArgumentsFn guardedOnArguments = nullptr;
  bool growsFirst = false;  // may grow its first argument when the application alone holds it
  // A comparison's answer where it is quick to tell (two short numerals): 1 true, 0
  // false; -1 where only the call itself can answer. Null for every other row.
  int (*decide)(const cells::Cell* const* arguments) = nullptr;
};

// Ordered bytewise by name, so iteration gives the names in ascending byte order.
using BuiltinTable = std::map<std::string, BuiltinEntry, std::less<>>;

// Built on first use, then never changed.
const BuiltinTable& builtinTable();

// The entry of an exact name, or null when the name is not a built-in.
const BuiltinEntry* findBuiltin(std::string_view name);

}  // namespace library
