#include "cells/memory_budget.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace cells {
namespace {

TEST(MemoryBudget, SizesAsUsersWriteThem) {
  struct Case {
    const char* text;
    std::optional<std::size_t> bytes;
  } cases[] = {
      {"0", 0},
      {"4096", 4096},
      {"256M", std::size_t{256} << 20},
      {"4G", std::size_t{4} << 30},
      {"4g", std::size_t{4} << 30},
      {"512KiB", std::size_t{512} << 10},
      {"2MB", std::size_t{2} << 20},
      {"1T", std::size_t{1} << 40},
      {"", std::nullopt},
      {"M", std::nullopt},
      {"-1", std::nullopt},
      {"12X", std::nullopt},
      {"1.5G", std::nullopt},
      {"4Gx", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"20000000000T", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(parseSize(c.text), c.bytes) << c.text;
}

TEST(MemoryBudget, CountsWhatIsHeld) {
  std::size_t before = budgetHeld();
  void* p = budgetAllocate(1000);
  EXPECT_GE(budgetHeld(), before + 1000);
  p = budgetReallocate(p, 100000);
  EXPECT_GE(budgetHeld(), before + 100000);
  budgetFree(p);
  EXPECT_EQ(budgetHeld(), before);
}

TEST(MemoryBudget, DefaultIsAtMostHalfThePhysicalMemory) {
  std::size_t limit = defaultBudgetLimit();
  EXPECT_GT(limit, std::size_t{16} << 20);
  EXPECT_LT(limit, SIZE_MAX);
}

}  // namespace
}  // namespace cells
