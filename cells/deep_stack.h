// The interpreter runs on a thread with a large reserved stack, so that descending
// into deeply nested program text (the parser follows the nesting of brackets)
// never overflows. Pages are only committed as the descent touches them. Walks
// over terms (release, analysis, substitution, printing, interning) keep explicit
// work lists and do not rely on it.
#pragma once

#include <cstddef>

namespace cells {

inline constexpr std::size_t kDeepStackBytes = std::size_t{4} << 30;

// Runs `work(context)` on such a thread and gives its result.
int runOnDeepStack(int (*work)(void*), void* context);

// The same for any callable.
template <class F>
int runOnDeepStack(F&& f) {
  return runOnDeepStack([](void* c) { return (*static_cast<F*>(c))(); }, static_cast<void*>(&f));
}

}  // namespace cells
