// The checker and compiler entry point: adds the host-layout definition "_", runs
// the passes and the checks "Funky", "Alive", "Place", "Arity" and "Local" over the
// definitions table, gives binders their places and interns every definition.
#pragma once

#include <set>
#include <string>

#include "driver/diagnostic.h"

namespace compile {

// Leaves `d` "Empty", or holding the first failure.
void checkAndCompile(driver::Diagnostic& d);

// The same passes and checks over the named definitions only, for program text
// compiled while a program runs: the rest of the table is compiled already, and the
// interning set is kept, so earlier canonical cells stay canonical.
void checkAndCompileNames(const std::set<std::string>& names, driver::Diagnostic& d);

// The text stored under "_": the sizes and fields of the host records that
// programs read by address.
std::string hostLayoutText();

}  // namespace compile
