#include "library/memory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "call_builtin.h"

namespace library {
namespace {

using namespace library::testing;

class MemoryTest : public LibraryTest {};

// Stores a value with one row and reads it back with another, at an odd address so
// that no width may rely on alignment.
TEST_F(MemoryTest, LoadsAndStoresAtEveryWidth) {
  struct {
    const char* store;
    int64_t stored;
    const char* load;
    const char* loaded;
  } cases[] = {
      {"setx", 300, "getx", "44"},
      {"setx", 200, "gety", "056"},
      {"setx", -1, "getx", "255"},
      {"sett", 65535, "getv", "01"},
      {"sett", 70000, "gett", "4464"},
      {"setu", 4294967295, "getu", "4294967295"},
      {"setu", 2147483648, "gets", "02147483648"},
      {"setw", -1, "getw", "18446744073709551615"},
      {"setw", -1, "getz", "01"},
      {"setw", INT64_MIN, "getz", "09223372036854775808"},
  };
  Handle block = call("calloc", {num(3), num(8)});
  Handle at = num(value(block) + 1);
  for (auto& c : cases) {
    EXPECT_EQ(show(call(c.store, {at, num(c.stored)})), "I") << c.store;
    EXPECT_EQ(show(call(c.load, {at})), c.loaded) << c.store << " " << c.stored << " " << c.load;
  }
  EXPECT_EQ(show(call("free", {block})), "I");
}

TEST_F(MemoryTest, StoresUseHostByteOrder) {
  Handle block = call("malloc", {num(8)});
  call("setw", {block, num(0x0102030405060708)});
  uint64_t word;
  std::memcpy(&word, pointer(block), sizeof word);
  EXPECT_EQ(word, 0x0102030405060708u);
  EXPECT_EQ(show(call("getx", {block})), std::to_string(word & 0xFF));
  call("free", {block});
}

TEST_F(MemoryTest, BlockOperations) {
  Handle a = call("malloc", {num(16)});
  Handle b = call("malloc", {num(16)});
  EXPECT_EQ(value(call("memset", {a, num('x'), num(16)})), value(a));
  EXPECT_EQ(value(call("memcpy", {b, a, num(16)})), value(b));
  EXPECT_EQ(value(call("memcmp", {a, b, num(16)})), 0);
  call("setx", {num(value(b) + 5), num('y')});
  EXPECT_LT(value(call("memcmp", {a, b, num(16)})), 0);
  EXPECT_EQ(value(call("memchr", {b, num('y'), num(16)})), value(b) + 5);
  EXPECT_EQ(value(call("memchr", {b, num('z'), num(16)})), 0);
  EXPECT_EQ(value(call("memmove", {num(value(b) + 1), b, num(8)})), value(b) + 1);
  EXPECT_EQ(show(call("getx", {num(value(b) + 6)})), std::to_string('y'));
  EXPECT_EQ(show(call("bzero", {b, num(16)})), "I");
  EXPECT_EQ(show(call("getw", {num(value(b) + 8)})), "0");
  Handle grown = call("realloc", {a, num(4096)});
  EXPECT_NE(value(grown), 0);
  EXPECT_EQ(show(call("getx", {num(value(grown) + 15)})), std::to_string('x'));
  call("free", {grown});
  call("free", {b});
}

TEST_F(MemoryTest, AbsurdSizesGiveZero) {
  struct {
    const char* name;
    std::initializer_list<Handle> args;
  } cases[] = {
      {"malloc", {num(-1)}},          {"malloc", {num(INT64_MIN)}},
      {"calloc", {num(1), num(-1)}},  {"calloc", {num(INT64_MAX), num(4)}},
      {"realloc", {num(0), num(-1)}},
  };
  for (auto& c : cases) {
    errno = 0;
    EXPECT_EQ(show(call(c.name, c.args)), "0") << c.name;
    EXPECT_EQ(errno, ENOMEM) << c.name;
  }
}

TEST_F(MemoryTest, EveryArgumentTakesTheIntegerTest) {
  expectVoidArgumentsGiveZ(
      "bzero calloc free gets gett getu getv getw getx gety getz malloc memchr memcmp memcpy memmove "
      "memset realloc sett setu setw setx");
  struct {
    const char* name;
    std::initializer_list<Handle> args;
  } cases[] = {
      {"malloc", {atom("[16]")}}, {"free", {atom("[abc]")}},       {"memset", {num(0), atom("00"), num(0)}},
      {"getx", {bytes("ab")}},    {"setw", {num(0), atom("[1]")}},
  };
  for (auto& c : cases) EXPECT_EQ(show(call(c.name, c.args)), "Z") << c.name;
}

}  // namespace
}  // namespace library
