#include "library/strings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "call_builtin.h"

namespace library {
namespace {

using namespace library::testing;

class StringsTest : public LibraryTest {};

TEST_F(StringsTest, ComparisonsAndLengths) {
  // A table aligned by hand.
  // clang-format off
  struct {
    const char* name;
    std::initializer_list<Handle> args;
    const char* expected;
  } cases[] = {
      {"strcmp", {bytes("abc"), bytes("abd")}, "01"},
      {"strcmp", {bytes("abd"), bytes("abc")}, "1"},
      {"strcmp", {bytes("abc"), bytes("abc")}, "0"},
      {"strcmp", {bytes("ab"), bytes("abc")}, "01"},
      {"strcmp", {bytes("\xff"), bytes("a")}, "1"},
      {"strcmp", {atom("[x]"), bytes("[x]")}, "0"},
      {"strlen", {bytes("")}, "0"},
      {"strlen", {atom("[]")}, "2"},
      {"strlen", {bytes(std::string("ab\0cd", 5))}, "2"},
      {"strnlen", {bytes("abcdef"), num(3)}, "3"},
      {"strncmp", {bytes("abcx"), bytes("abcy"), num(3)}, "0"},
      {"strcasecmp", {bytes("HeLLo"), bytes("hello")}, "0"},
      {"strncasecmp", {bytes("ABx"), bytes("aby"), num(2)}, "0"},
      {"strspn", {bytes("aabxa"), bytes("ab")}, "3"},
  };
  // clang-format on
  for (auto& c : cases) EXPECT_EQ(show(call(c.name, c.args)), c.expected) << c.name;
  EXPECT_LT(value(call("strcasecmp", {bytes("a"), bytes("B")})), 0);
}

TEST_F(StringsTest, CopiesIntoProgramMemory) {
  Handle block = call("malloc", {num(32)});
  EXPECT_EQ(value(call("strcpy", {block, atom("[ab]")})), value(block));
  EXPECT_EQ(value(call("strcat", {block, bytes("cd")})), value(block));
  EXPECT_EQ(show(call("strlen", {block})), "6");
  EXPECT_STREQ(pointer(block), "[ab]cd");
  EXPECT_EQ(value(call("strncat", {block, bytes("xyz"), num(2)})), value(block));
  EXPECT_STREQ(pointer(block), "[ab]cdxy");

  Handle copy = call("strdup", {bytes("source")});
  EXPECT_EQ(value(call("strncpy", {block, copy, num(3)})), value(block));
  EXPECT_STREQ(pointer(block), "sou]cdxy");
  EXPECT_EQ(show(call("strncpy", {block, atom("[text]"), num(3)})), "Z");
  call("free", {copy});
  call("free", {block});
}

TEST_F(StringsTest, SearchesGiveAddressesInsideTheString) {
  Handle s = call("strdup", {bytes("hello, world")});
  int64_t at = value(s);
  // A table aligned by hand.
  // clang-format off
  struct {
    const char* name;
    std::initializer_list<Handle> args;
    int64_t expected;
  } cases[] = {
      {"strchr", {s, num('o')}, at + 4},   {"strrchr", {s, num('o')}, at + 8},
      {"strchr", {s, num('z')}, 0},        {"strstr", {s, bytes("wor")}, at + 7},
      {"strstr", {s, bytes("xyz")}, 0},    {"strpbrk", {s, bytes(" ,")}, at + 5},
      {"strchr", {s, num(0)}, at + 12},
  };
  // clang-format on
  for (auto& c : cases) EXPECT_EQ(value(call(c.name, c.args)), c.expected) << c.name;
  call("free", {s});
}

TEST_F(StringsTest, Tokens) {
  Handle s = call("strdup", {bytes("a,b;;c")});
  EXPECT_EQ(value(call("strtok", {s, bytes(",;")})), value(s));
  EXPECT_STREQ(pointer(call("strtok", {num(0), bytes(",;")})), "b");
  EXPECT_STREQ(pointer(call("strtok", {num(0), bytes(",;")})), "c");
  EXPECT_EQ(show(call("strtok", {num(0), bytes(",;")})), "0");
  call("free", {s});

  Handle t = call("strdup", {bytes("x y")});
  Handle context = call("malloc", {num(sizeof(char*))});
  EXPECT_EQ(value(call("strtok_r", {t, bytes(" "), context})), value(t));
  EXPECT_STREQ(pointer(call("strtok_r", {num(0), bytes(" "), context})), "y");
  EXPECT_EQ(show(call("strtok_r", {num(0), bytes(" "), context})), "0");
  for (auto& h : {t, context}) call("free", {h});
}

TEST_F(StringsTest, ErrorText) {
  EXPECT_STREQ(pointer(call("strerror", {num(ENOENT)})), std::strerror(ENOENT));
}

TEST_F(StringsTest, Characters) {
  // A table aligned by hand.
  // clang-format off
  struct {
    const char* name;
    int64_t c;
    const char* expected;
  } cases[] = {
      {"isdigit", 48, "K"},  {"isdigit", 65, "H"},   {"isalpha", 'q', "K"},   {"isalnum", '_', "H"},
      {"isblank", '\t', "K"}, {"isspace", '\n', "K"}, {"isgraph", ' ', "H"},   {"isprint", ' ', "K"},
      {"islower", 'a', "K"}, {"isupper", 'a', "H"},  {"ispunct", '!', "K"},   {"isalpha", -1, "H"},
      {"isalpha", 'A' + 256, "H"}, {"isdigit", INT64_MIN, "H"},
      {"isascii", 127, "K"}, {"isascii", 128, "H"},  {"isascii", -1, "H"},    {"isascii", 4294967296, "K"},
      {"toascii", 200, "72"}, {"toascii", -1, "127"}, {"tolower", 'A', "97"}, {"toupper", 'a', "65"},
      {"toupper", '1', "49"}, {"toupper", 'a' + 256, "353"}, {"tolower", -1, "01"},
      // C takes an int: the low 32 bits in two's complement decide.
      {"toupper", 4294967393, "65"}, {"tolower", 'A' - 4294967296, "97"}, {"isalpha", 'A' + 4294967296, "K"},
      {"isdigit", '7' - (int64_t{5} << 32), "K"}, {"isspace", 4294967295, "H"}, {"toupper", 4294967295, "01"},
      {"toupper", 2147483648 + 'a', "02147483551"}, {"isprint", 2147483648 + 'a', "H"},
      {"toascii", 4294967296 + 200, "72"}, {"isascii", 4294967296 + 200, "H"},
  };
  // clang-format on
  for (auto& c : cases) EXPECT_EQ(show(call(c.name, {num(c.c)})), c.expected) << c.name << " " << c.c;
  EXPECT_EQ(show(call("isalpha", {atom("[a]")})), "Z");
}

TEST_F(StringsTest, WrongKindsGiveZ) {
  expectVoidArgumentsGiveZ(
      "isalnum isalpha isascii isblank isdigit isgraph islower isprint ispunct isspace isupper strcasecmp "
      "strcat strchr strcmp strcpy strdup strerror strlen strncasecmp strncat strncmp strncpy strnlen "
      "strpbrk strrchr strspn strstr strtok strtok_r toascii tolower toupper");
  EXPECT_EQ(show(call("strlen", {atom("007")})), "Z");
  EXPECT_EQ(show(call("strcmp", {bytes("a"), numbers::realFromDouble(0.5)})), "Z");
}

}  // namespace
}  // namespace library
