#include "library/numeric_builtins.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "library/builtin_table.h"

namespace numbers {
namespace {

using cells::Handle;
using cells::makeAtom;

class NumericBuiltinsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    installCellSeams();
    for (auto& [name, entry] : library::builtinTable()) (void)name;
    cells::common(cells::Common::Z);
    call("type", {makeAtom("1")});  // the shared tags live for the whole process
    before_ = cells::liveCells();
  }
  void TearDown() override { EXPECT_EQ(cells::liveCells(), before_); }

  // The text of the result of a built-in applied to the arguments.
  static std::string call(const char* name, std::vector<Handle> args) {
    const library::BuiltinEntry* entry = library::findBuiltin(name);
    EXPECT_EQ(entry->arity, args.size()) << name;
    Handle application = makeAtom(name);
    for (Handle& a : args) application = cells::makePair(std::move(application), std::move(a));
    return std::string(entry->impl(application.get()).text());
  }
  std::size_t before_ = 0;
};

Handle real(double d) { return realFromDouble(d); }
std::string realBytes(double d) { return std::string(real(d).text()); }
Handle pairOf(const char* f, const char* x) { return cells::makePair(makeAtom(f), makeAtom(x)); }
Handle stream(const char* bits, const char* tail) {
  Handle s = makeAtom(tail);
  for (std::size_t i = std::strlen(bits); i-- > 0;)
    s = cells::makePair(pairOf("J", std::string(1, bits[i]).c_str()), std::move(s));
  return s;
}

TEST_F(NumericBuiltinsTest, OperatorsByKind) {
  struct {
    const char* name;
    std::function<Handle()> x, y;
    std::string result;
  } cases[] = {
      {"plus", [] { return makeAtom("1"); }, [] { return makeAtom("2"); }, "3"},
      {"plus", [] { return stream("KKKHK", "K"); }, [] { return makeAtom("1"); }, "6"},
      {"plus", [] { return makeAtom("2"); }, [] { return real(0.5); }, realBytes(2.5)},
      {"less", [] { return makeAtom("2"); }, [] { return real(100.0); }, "H"},
      {"gteq", [] { return makeAtom("2"); }, [] { return real(100.0); }, "K"},
      {"same", [] { return real(1.0); }, [] { return makeAtom("1"); }, "H"},
      {"same", [] { return real(0.0); }, [] { return real(-0.0); }, "K"},
      {"same", [] { return real(NAN); }, [] { return real(NAN); }, "H"},
      {"less", [] { return real(NAN); }, [] { return real(1.0); }, "H"},
      {"gteq", [] { return real(NAN); }, [] { return real(1.0); }, "H"},
      {"diff", [] { return makeAtom("12"); }, [] { return makeAtom("12"); }, "H"},
      {"over", [] { return makeAtom("07"); }, [] { return makeAtom("2"); }, "04"},
      {"over", [] { return makeAtom("7"); }, [] { return makeAtom("0"); }, "Z"},
      {"over", [] { return real(7.0); }, [] { return real(0.0); }, realBytes(INFINITY)},
      {"cent", [] { return real(7.5); }, [] { return real(2.0); }, realBytes(1.5)},
      {"powa", [] { return real(2.0); }, [] { return makeAtom("10"); }, realBytes(1024.0)},
      {"mult", [] { return makeAtom("12"); }, [] { return makeAtom("012"); }, "0144"},
      {"plus", [] { return makeAtom("0017"); }, [] { return makeAtom("0017"); }, "0068"},
      {"plus", [] { return makeAtom("0017"); }, [] { return makeAtom("5"); }, "0068"},
      {"powa", [] { return makeAtom("002"); }, [] { return makeAtom("2"); }, "008"},
      {"less", [] { return makeAtom("002"); }, [] { return makeAtom("001"); }, "K"},
      {"mult", [] { return makeAtom("002"); }, [] { return real(3.0); }, realBytes(1.5)},
      {"less", [] { return makeAtom("(a)x"); }, [] { return real(1.0); }, "K"},
      {"less", [] { return makeAtom("[a]"); }, [] { return makeAtom("00"); }, "H"},
      {"gteq", [] { return makeAtom("00"); }, [] { return makeAtom("9"); }, "K"},
      {"less", [] { return makeAtom("[ab]"); }, [] { return makeAtom("[abc]"); }, "K"},
      {"same", [] { return makeAtom("(b)ab"); }, [] { return makeAtom("(b)ab"); }, "K"},
  };
  for (auto& c : cases) EXPECT_EQ(call(c.name, {c.x(), c.y()}), c.result) << c.name << " " << c.result;
}

TEST_F(NumericBuiltinsTest, Texts) {
  struct {
    const char *name, *x, *y;
    std::string result;
  } cases[] = {
      {"plus", "[ab]", "[cd]", "[abcd]"},   {"plus", "[]", "12", "[12]"},
      {"plus", "05", "[]", "[05]"},         {"plus", "(a)x", "[a[p]b]", "(d)xa\nb"},
      {"plus", "[a[q]]", "(a)y", "(c)a[y"}, {"dash", "[abcde]", "2", "[cde]"},
      {"dash", "[abcde]", "02", "[abc]"},   {"dash", "[abcde]", "5", "[]"},
      {"dash", "[abcde]", "6", "Z"},        {"dash", "(c)abc", "03", "()"},
      {"dash", "[a[q]b]", "1", "[[q]b]"},   {"dash", "2", "[ab]", "Z"},
      {"dash", "[ab]", "[a]", "Z"},         {"mult", "3", "(b)ab", "(f)ababab"},
      {"mult", "[ab]", "3", "[ababab]"},    {"mult", "[ab]", "0", "[]"},
      {"mult", "[ab]", "03", "Z"},          {"mult", "[ab]", "[cd]", "Z"},
      {"over", "[ab]", "2", "Z"},           {"cent", "(a)x", "2", "Z"},
      {"powa", "[ab]", "2", "Z"},
  };
  for (auto& c : cases)
    EXPECT_EQ(call(c.name, {makeAtom(c.x), makeAtom(c.y)}), c.result) << c.x << " " << c.name << " " << c.y;
  EXPECT_EQ(call("plus", {makeAtom("[x]"), real(1.5)}), "[x1.500000e+00]");
}

// A join whose left text only the call can see may grow that text in place; one
// that anyone else holds is never changed. Either way the result reads the same.
TEST_F(NumericBuiltinsTest, JoinsGrowOnlyTextsNoOneElseHolds) {
  const library::BuiltinEntry* plus = library::findBuiltin("plus");
  auto join = [&](Handle x, const char* y) {
    Handle application = cells::makePair(cells::makePair(makeAtom("plus"), std::move(x)), makeAtom(y));
    return plus->impl(application.get());
  };
  Handle text = makeAtom("[a long text of more than fifteen bytes]");
  std::string expected(text.text());
  bool grewInPlace = false;
  for (const char* piece : {"[x]", "[[q]]", "12", "[[p]y]", "[]", "[z]", "[w]", "[v]"}) {
    const cells::Cell* before = text.get();
    text = join(std::move(text), piece);
    grewInPlace = grewInPlace || text.get() == before;
    std::string bytes = *piece == '[' ? std::string(piece + 1, std::strlen(piece) - 2) : piece;
    expected.insert(expected.size() - 1, bytes);
    ASSERT_EQ(text.text(), expected);
    ASSERT_EQ(valueKind(text.get()), ValueKind::text);
  }
  EXPECT_TRUE(grewInPlace);

  Handle shared = text;
  Handle joined = join(shared, "[more]");
  EXPECT_NE(joined.get(), shared.get());
  EXPECT_EQ(shared.text(), expected);
  EXPECT_EQ(joined.text(), expected.substr(0, expected.size() - 1) + "more]");
}

// The decimal-digit path for short numerals against 64-bit arithmetic: every length
// up to 16 digits, both signs, results that carry into a sixteenth byte (and so leave
// that path), and the cases at its edges.
std::string numeralOf(int64_t v) { return v < 0 ? "0" + std::to_string(-v) : std::to_string(v); }

TEST_F(NumericBuiltinsTest, ShortNumeralsAgreeWithMachineIntegers) {
  std::mt19937_64 random(11);
  auto operand = [&] {
    int64_t magnitude = int64_t(random() % 10'000'000'000'000'000ull);
    magnitude /= int64_t(std::pow(10.0, double(random() % 16)));  // 1 to 16 digits
    return random() % 2 ? -magnitude : magnitude;
  };
  for (int i = 0; i < 20000; ++i) {
    int64_t a = operand(), b = i % 7 == 0 ? -a : operand();
    std::string x = numeralOf(a), y = numeralOf(b);
    ASSERT_EQ(call("plus", {makeAtom(x), makeAtom(y)}), numeralOf(a + b)) << x << " + " << y;
    ASSERT_EQ(call("dash", {makeAtom(x), makeAtom(y)}), numeralOf(a - b)) << x << " - " << y;
    ASSERT_EQ(call("less", {makeAtom(x), makeAtom(y)}), a < b ? "K" : "H") << x << " < " << y;
    ASSERT_EQ(call("gteq", {makeAtom(x), makeAtom(y)}), a >= b ? "K" : "H") << x << " >= " << y;
    ASSERT_EQ(call("same", {makeAtom(x), makeAtom(i % 3 ? y : x)}), a == (i % 3 ? b : a) ? "K" : "H")
        << x << " = " << y;
  }
  struct {
    const char *name, *x, *y, *result;
  } cases[] = {
      {"plus", "999999999999999", "1", "1000000000000000"},
      {"dash", "099999999999999", "1", "0100000000000000"},
      {"plus", "99999999", "1", "100000000"},
      {"dash", "100000000", "1", "99999999"},
      {"dash", "5", "5", "0"},
      {"plus", "05", "5", "0"},
      {"dash", "0", "0", "0"},
      {"less", "0", "01", "H"},
      {"plus", "1a", "1", "Z"},
      {"plus", "1", "12345678a", "Z"},
      {"less", "00", "1", "H"},  // a numb, which orders after the integers
  };
  for (auto& c : cases)
    EXPECT_EQ(call(c.name, {makeAtom(c.x), makeAtom(c.y)}), c.result) << c.x << " " << c.name << " " << c.y;
}

TEST_F(NumericBuiltinsTest, WrongKindsGiveZ) {
  Handle v = pairOf("f", "x");
  EXPECT_EQ(call("same", {v, v}), "K");
  EXPECT_EQ(call("diff", {v, v}), "H");
  for (const char* op : {"plus", "dash", "mult", "over", "cent", "powa", "less", "gteq", "same", "diff"}) {
    EXPECT_EQ(call(op, {pairOf("f", "x"), pairOf("f", "x")}), "Z") << op;
    EXPECT_EQ(call(op, {makeAtom("1"), makeAtom("K")}), "Z") << op;
    EXPECT_EQ(call(op, {makeAtom("1x"), makeAtom("1")}), "Z") << op;
    EXPECT_EQ(call(op, {stream("KX", "K"), makeAtom("1")}), "Z") << op;
  }
  EXPECT_EQ(call("over", {makeAtom("0017"), makeAtom("2")}), "Z");
  EXPECT_EQ(call("over", {makeAtom("0017"), makeAtom("0017")}), "Z");
  EXPECT_EQ(call("powa", {makeAtom("2"), makeAtom("001")}), "Z");
  EXPECT_EQ(call("abs", {real(1.0)}), "Z");
  // Atoms that only begin like numerals, and a stream broken after its first element.
  for (const char* name : {"abs", "labs", "atoi", "atol", "atof", "srand"}) {
    EXPECT_EQ(call(name, {makeAtom("5a")}), "Z") << name;
    EXPECT_EQ(call(name, {makeAtom("1234567890123456789a")}), "Z") << name;
    EXPECT_EQ(call(name, {makeAtom("Kx")}), "Z") << name;
    EXPECT_EQ(call(name, {stream("KI", "K")}), "Z") << name;
  }
  EXPECT_EQ(call("acos", {makeAtom("1")}), "Z");
  EXPECT_EQ(call("real", {pairOf("f", "x")}), "Z");
}

TEST_F(NumericBuiltinsTest, CWrappers) {
  EXPECT_EQ(call("acos", {real(1.0)}), realBytes(0.0));
  EXPECT_EQ(call("hypot", {real(3.0), real(4.0)}), realBytes(5.0));
  EXPECT_EQ(call("ldexp", {real(1.5), makeAtom("2")}), realBytes(6.0));
  // `abs` and `labs` take all 64 bits; the most negative value stays itself.
  struct {
    const char *name, *argument, *result;
  } absolutes[] = {{"abs", "05", "5"},
                   {"abs", "4294967291", "4294967291"},  // not cut to C's int
                   {"abs", "09223372036854775808", "09223372036854775808"},
                   {"labs", "05", "5"},
                   {"labs", "4294967291", "4294967291"},
                   {"labs", "09223372036854775808", "09223372036854775808"}};
  for (auto& c : absolutes)
    EXPECT_EQ(call(c.name, {makeAtom(c.argument)}), c.result) << c.name << " " << c.argument;
  EXPECT_EQ(call("rand_max", {}), std::to_string(RAND_MAX));
  EXPECT_EQ(call("srand", {makeAtom("1")}), "I");
  EXPECT_EQ(call("atoi", {makeAtom("(b)42")}), "42");
  EXPECT_EQ(call("strtol", {makeAtom("(b)ff"), makeAtom("0"), makeAtom("16")}), "255");
  EXPECT_EQ(call("strtoul", {makeAtom("(b)-1"), makeAtom("0"), makeAtom("10")}), "18446744073709551615");
  int exponent = 0;
  Handle address = cells::numeralFromInt64(int64_t(reinterpret_cast<uintptr_t>(&exponent)));
  EXPECT_EQ(call("frexp", {real(8.0), address}), realBytes(0.5));
  EXPECT_EQ(exponent, 4);
}

TEST_F(NumericBuiltinsTest, RealOfEveryKind) {
  Handle bits = makeAtom("[");
  uint64_t one;
  double d = 1.0;
  std::memcpy(&one, &d, sizeof one);
  for (int i = 0; i < 64; ++i)
    bits = cells::makePair(pairOf("V", (one >> i) & 1 ? "K" : "H"), std::move(bits));
  EXPECT_EQ(call("real", {std::move(bits)}), realBytes(1.0));
  EXPECT_EQ(call("real", {makeAtom("(c)2.5")}), realBytes(2.5));
  EXPECT_EQ(call("real", {makeAtom("[1.5]")}), realBytes(1.5));
  EXPECT_EQ(call("real", {makeAtom("05")}), realBytes(-5.0));
  EXPECT_EQ(call("real", {makeAtom("0017")}), realBytes(5.0));
  Handle r = real(3.0);
  EXPECT_EQ(call("real", {r}), realBytes(3.0));
}

TEST_F(NumericBuiltinsTest, TypeNamesKinds) {
  struct {
    std::function<Handle()> value;
    const char* tag;
  } cases[] = {{[] { return makeAtom("7"); }, "[hint]"},    {[] { return makeAtom("00"); }, "[numb]"},
               {[] { return real(1.0); }, "[real]"},        {[] { return pairOf("f", "x"); }, "[void]"},
               {[] { return makeAtom("[ab]"); }, "[zits]"}, {[] { return makeAtom("(a)x"); }, "[post]"},
               {[] { return stream("H", "K"); }, "[numb]"}, {[] { return stream("K", "K"); }, "[hint]"}};
  for (auto& c : cases) EXPECT_EQ(call("type", {c.value()}), c.tag) << c.tag;
}

}  // namespace
}  // namespace numbers
