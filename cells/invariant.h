// The one internal consistency check of the interpreter. A failed check writes
// "ASSERTION FAILED:" with our source path and line on standard error and aborts
// at once, without clean-up. Never use it on anything a program text can cause.
#pragma once

namespace cells {

[[noreturn]] void failInvariant(const char* message, const char* file, unsigned line);

// The caller's file and line arrive through the default arguments.
inline void invariant(bool holds, const char* message, const char* file = __builtin_FILE(),
                      unsigned line = __builtin_LINE()) {
  if (!holds) [[unlikely]]
    failInvariant(message, file, line);
}

}  // namespace cells
