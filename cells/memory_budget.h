// The memory budget: every block the interpreter allocates (cells, atoms, GMP's
// numbers, the C++ heap) is counted by its usable size, so that a runaway program
// ends with the "Space" report at a limit of its own rather than at the host's
// out-of-memory killer. Counting is one addition and one comparison an
// allocation; the reserved thread stack and the C library's own buffers are not
// counted.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace cells {

// malloc, realloc and free with the budget kept; an allocation that fails or that
// would pass the limit ends the run with the Space report.
void* budgetAllocate(std::size_t bytes);
void* budgetReallocate(void* p, std::size_t bytes);
void budgetFree(void* p);

// The bytes counted now, and the limit (0: none).
std::size_t budgetHeld();
void setBudgetLimit(std::size_t bytes);

// The default limit: half of the physical memory, or the limit of the process's
// memory cgroup when that is smaller.
std::size_t defaultBudgetLimit();

// A size as a user writes it: a byte count, or a count followed by K, M, G or T
// (powers of 1024, either case, an optional trailing B or iB). Empty for
// anything else.
std::optional<std::size_t> parseSize(std::string_view text);

}  // namespace cells
