// The memory budget.
#include "cells/memory_budget.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>

#include "cells/cell.h"

namespace cells {

namespace {
struct Budget {
  std::size_t held = 0;
  std::size_t limit = SIZE_MAX;
};
}  // namespace

static Budget& budget() {
  static constinit Budget b;
  return b;
}

std::size_t budgetHeld() { return budget().held; }
void setBudgetLimit(std::size_t bytes) { budget().limit = bytes == 0 ? SIZE_MAX : bytes; }

static void charge(void* p) {
  Budget& b = budget();
  b.held += malloc_usable_size(p);
  if (b.held > b.limit) [[unlikely]]
    outOfMemory();
}

void* budgetAllocate(std::size_t bytes) {
  void* p = std::malloc(bytes);
  if (!p) outOfMemory();
  charge(p);
  return p;
}

void* budgetReallocate(void* p, std::size_t bytes) {
  std::size_t before = p ? malloc_usable_size(p) : 0;
  void* q = std::realloc(p, bytes);
  if (!q) outOfMemory();
  budget().held -= before;
  charge(q);
  return q;
}

void budgetFree(void* p) {
  if (!p) return;
  budget().held -= malloc_usable_size(p);
  std::free(p);
}

// cgroup v2 first (the process's own group, then the root's file), then v1.
static std::size_t cgroupLimit() {
  std::ifstream self("/proc/self/cgroup");
  std::string line, group;
  while (std::getline(self, line))
    if (line.starts_with("0::")) group = line.substr(3);
  for (std::string path : {"/sys/fs/cgroup" + group + "/memory.max", std::string("/sys/fs/cgroup/memory.max"),
                           std::string("/sys/fs/cgroup/memory/memory.limit_in_bytes")}) {
    std::ifstream in(path);
    std::string value;
    if (!(in >> value) || value == "max") continue;
    if (std::optional<std::size_t> bytes = parseSize(value)) return *bytes;
  }
  return SIZE_MAX;
}

std::size_t defaultBudgetLimit() {
  long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGESIZE);
  std::size_t physical = pages > 0 && page > 0 ? std::size_t(pages) * std::size_t(page) : SIZE_MAX;
  std::size_t half = physical / 2;
  std::size_t group = cgroupLimit();
  return group < half ? group : half;
}

std::optional<std::size_t> parseSize(std::string_view text) {
  std::size_t i = 0, value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value > (SIZE_MAX - 9) / 10) return std::nullopt;
    value = value * 10 + std::size_t(text[i] - '0');
  }
  if (i == 0) return std::nullopt;
  std::string_view unit = text.substr(i);
  static constexpr std::string_view kUnits = "KMGT";
  int shift = 0;
  if (!unit.empty()) {
    std::size_t at = kUnits.find(char(unit[0] & ~0x20));
    if (at == std::string_view::npos) return std::nullopt;
    shift = 10 * int(at + 1);
    unit.remove_prefix(1);
    if (unit == "iB" || unit == "ib" || unit == "B" || unit == "b") unit = {};
    if (!unit.empty()) return std::nullopt;
  }
  if (shift && value > (SIZE_MAX >> shift)) return std::nullopt;
  return value << shift;
}

}  // namespace cells
