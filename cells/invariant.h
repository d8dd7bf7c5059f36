// The one internal consistency check of the interpreter. A failed check writes
// "ASSERTION FAILED:" with our source path and line on standard error and aborts
// at once, without clean-up. Never use it on anything a program text can cause.
#pragma once

#include <source_location>

namespace cells {

[[noreturn]] void failInvariant(const char* message, std::source_location where);

inline void invariant(bool holds, const char* message,
                      std::source_location where = std::source_location::current()) {
  if (!holds) [[unlikely]]
    failInvariant(message, where);
}

}  // namespace cells
