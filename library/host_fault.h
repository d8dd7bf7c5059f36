// Faults inside host calls. Integers are addresses by design, so a built-in that
// reaches host memory may be handed an address that faults inside the C library
// (`puts(42)`). Such a call runs guarded: a SIGSEGV or SIGBUS while it runs jumps
// back to the call, which ends the run with the "Fault" report naming the
// built-in and the address, after flushing what the program wrote. A fault
// anywhere else is a fault of the interpreter: it is reported as such, the output
// is flushed, and the process aborts.
#pragma once

#include <cstdint>
#include <string_view>

#include "library/builtin_table.h"

namespace library {

// Installs the fault handlers for the process and an alternate signal stack for
// the calling thread (a fault may be an overflow of the thread's own stack). Call
// on the thread that runs the program.
void installFaultHandlers();

// Calls `impl` on the application, guarded as above; `self` is the guarded form
// that the table holds, by which a report finds the row's name.
cells::Handle callGuarded(BuiltinFn impl, BuiltinFn self, const cells::Cell* application);
// The same given the arguments (BuiltinEntry::onArguments).
cells::Handle callGuardedOn(BuiltinArgumentsFn impl, BuiltinFn self, const cells::Cell* const* arguments);

// Ends the run with the same report as a fault, before the C library is called: the
// running guarded call was given `address` where it needs a live host object that
// `what` names ("open stream").
[[noreturn]] void reportBadHandle(uintptr_t address, std::string_view what);

}  // namespace library
