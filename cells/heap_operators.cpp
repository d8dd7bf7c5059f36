// The global allocation operators, so that the C++ heap counts against the memory
// budget too (sanitizer builds keep their own operators, which check what these
// cannot). In a file of their own: code of the same file could otherwise have them
// inlined, and a memory checker that replaces the operators would then see its own
// operator new's blocks freed by our free().
#include <cstddef>
#include <new>

#include "cells/memory_budget.h"

#ifndef VORL_PLAIN_ALLOCATION
void* operator new(std::size_t bytes) { return cells::budgetAllocate(bytes ? bytes : 1); }
void* operator new[](std::size_t bytes) { return cells::budgetAllocate(bytes ? bytes : 1); }
void operator delete(void* p) noexcept { cells::budgetFree(p); }
void operator delete[](void* p) noexcept { cells::budgetFree(p); }
void operator delete(void* p, std::size_t) noexcept { cells::budgetFree(p); }
void operator delete[](void* p, std::size_t) noexcept { cells::budgetFree(p); }
#endif
