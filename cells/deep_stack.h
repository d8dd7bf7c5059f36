// The interpreter runs on a thread with a large reserved stack, so that descending
// into deeply nested program text (the parser follows the nesting of brackets)
// never overflows. Pages are only committed as the descent touches them. Walks
// over terms (release, analysis, substitution, printing, interning) keep explicit
// work lists and do not rely on it.
#pragma once

#include <cstddef>

namespace cells {

inline constexpr std::size_t kDeepStackBytes = std::size_t{4} << 30;
// Under a limit on the address space (ulimit -v) the full reservation may be
// refused: the size is halved down to this floor before the calling thread's own
// stack is used instead.
inline constexpr std::size_t kShallowestStackBytes = std::size_t{16} << 20;

// Runs `work(context)` on the deepest such thread the host grants and gives its
// result.
int runOnDeepStack(int (*work)(void*), void* context);

// The same for any callable.
template <class F>
int runOnDeepStack(F&& f) {
  return runOnDeepStack([](void* c) { return (*static_cast<F*>(c))(); }, static_cast<void*>(&f));
}

// The stack that the running work obtained, in bytes (before any run: the full
// reservation). Bounds on descent are taken from it.
std::size_t deepStackBytes();

}  // namespace cells
