#include "library/language.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "call_builtin.h"
#include "compile/intern.h"
#include "compile/loader.h"
#include "numbers/real.h"
#include "numbers/text_ops.h"

namespace library {
namespace {

using namespace library::testing;

Handle real(double d) { return numbers::realFromDouble(d); }
Handle pair(const Handle& a, const Handle& b) { return cells::makePair(atom("V"), a, b); }
Handle emptyList() { return atom("["); }
// A list of the prelude: ((V e1) ((V e2) (... ((V en) [)))).
Handle list(std::vector<Handle> elements) {
  Handle l = emptyList();
  for (std::size_t i = elements.size(); i-- > 0;) l = pair(elements[i], l);
  return l;
}
// The bit stream J b0 (J b1 (... (J bk K))) of the given bits.
Handle stream(std::string_view bits) {
  Handle s = atom("K");
  for (std::size_t i = bits.size(); i-- > 0;)
    s = cells::makePair(atom("J"), atom(bits[i] == '1' ? "K" : "H"), s);
  return s;
}
// The texts of a list's elements.
std::vector<std::string> elements(Handle l) {
  std::vector<std::string> out;
  for (; l.isPair(); l = l.right()) out.push_back(show(l.left().right()));
  EXPECT_EQ(show(l), "[");
  return out;
}

class LanguageTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    compile::installLanguageSeams();
  }
  void TearDown() override {
    compile::clearInterned();
    clearLanguageStores();
    LibraryTest::TearDown();
  }
};

struct Case {
  const char* name;
  std::initializer_list<Handle> args;
  std::string expected;
};

void expectCases(std::initializer_list<Case> cases) {
  int n = 0;
  for (const Case& c : cases)
    EXPECT_EQ(show(call(c.name, c.args)), c.expected) << "case " << n++ << ": " << c.name;
}

TEST_F(LanguageTest, FirstAndRest) {
  expectCases({
      {"buck", {bytes("\nx")}, "[[p]]"},
      {"buck", {bytes("]")}, "[[r]]"},
      {"buck", {atom("[[q]x]")}, "[[q]]"},
      {"buck", {real(-0.0)}, "H"},
      {"buck", {real(0.0)}, "K"},
      {"buck", {num(0)}, "K"},
      {"buck", {atom("05")}, "H"},
      {"buck", {stream("10101")}, "H"},  // -5
      {"buck", {atom("001")}, "K"},
      {"buck", {call("wave", {atom("001")})}, "H"},
      {"wave", {num(5)}, "05"},
      {"wave", {atom("05")}, "5"},
      {"wave", {num(0)}, "0"},
      {"wave", {stream("11101")}, "05"},
      {"wave", {call("wave", {atom("0010")})}, "0010"},
      {"wave", {bytes("abc")}, "(b)bc"},
      {"wave", {atom("[[q]bc]")}, "[bc]"},
      {"wave", {atom("[a[q]]")}, "[[q]]"},
      {"wave", {atom("[a[bc]]")}, "[[q]bc[r]]"},  // the rest is escaped again
  });
  EXPECT_EQ(numbers::doubleFromReal(call("wave", {real(2.5)}).get()), -2.5);
  EXPECT_TRUE(std::signbit(numbers::doubleFromReal(call("wave", {real(0.0)}).get())));
}

TEST_F(LanguageTest, TextsAndByteStrings) {
  Handle text = atom("[a]");
  EXPECT_EQ(call("zits", {text}).get(), text.get());
  // A byte's text is made once and shared; a long integer gives its low byte's.
  EXPECT_EQ(call("zits", {num(97)}).get(), call("zits", {num(353)}).get());
  EXPECT_EQ(show(call("zits", {atom("123456789012345678901")})), "[5]");
  expectCases({
      {"zits", {num(65)}, "[A]"},
      {"zits", {num(91)}, "[[q]]"},
      {"zits", {num(93)}, "[[r]]"},
      {"zits", {num(10)}, "[\n]"},
      {"zits", {num(321)}, "[A]"},
      {"zits", {bytes("a]\n")}, "[a[r][p]]"},
      {"zits", {real(1.5)}, "[1.500000e+00]"},
      {"zits", {list({atom("[a[q]]"), num(66), bytes("c")})}, "[a[q]Bc]"},
      {"zits", {emptyList()}, "[]"},
      {"cape", {atom("[a[p]b]")}, "a\nb"},
      {"cape", {atom("[12]")}, "12"},
      {"cape", {bytes("a[b")}, "[a[q]b]"},
      {"init", {atom("[a[q]]")}, "(b)a["},
      {"init", {bytes("xy")}, "(b)xy"},
      {"init", {num(5)}, "(a)7"},  // sequence 1 1 1 0 1, then the sentinel
      {"init", {list({atom("[ab]"), num(67)})}, "(c)abC"},
      {"rank", {bytes("abc")}, "3"},
      {"rank", {atom("[a[q]]")}, "4"},
      {"rank", {real(-1e300)}, "8"},
      {"rank", {num(5)}, "5"},
      {"rank", {stream("11101")}, "5"},
      {"rank", {num(0)}, "1"},
      {"lits", {atom("[A]")}, "65"},
      {"lits", {atom("[[q]]")}, "91"},
      {"lits", {bytes("\xc8")}, "056"},
      {"lits", {num(200)}, "056"},
      {"lits", {num(321)}, "65"},
      {"lits", {real(65.9)}, "65"},
      {"lits", {real(-1.5)}, "01"},
  });
  EXPECT_EQ(show(call("init", {real(1.0)})), "(h)" + std::string("\0\0\0\0\0\0\xf0\x3f", 8));
}

TEST_F(LanguageTest, ListsOfElements) {
  using V = std::vector<std::string>;
  EXPECT_EQ(elements(call("lots", {atom("[a[q]]")})), (V{"[a]", "[[q]]"}));
  EXPECT_EQ(elements(call("lots", {bytes("A\xff")})), (V{"65", "255"}));
  EXPECT_EQ(elements(call("lots", {num(5)})), (V{"K", "K", "K", "H", "K"}));
  EXPECT_EQ(elements(call("lots", {real(-0.0)})).back(), "K");
  EXPECT_EQ(elements(call("lots", {atom("[]")})), V{});
  // `zits` collects what `lots` takes apart.
  EXPECT_EQ(show(call("zits", {call("lots", {atom("[x[p]y]")})})), "[x[p]y]");
}

TEST_F(LanguageTest, TakingApart) {
  Handle one = num(1), two = num(2), p = pair(one, two);
  EXPECT_EQ(call("left", {p}).get(), one.get());
  EXPECT_EQ(call("rght", {p}).get(), two.get());
  Handle l = list({atom("[a]"), atom("[b]")});
  EXPECT_EQ(elements(call("rght", {l})), std::vector<std::string>{"[b]"});
  expectCases({
      {"left", {atom("[ab]")}, "[a]"},
      {"left", {atom("[[q]b]")}, "[[q]]"},
      {"left", {l}, "[a]"},
      {"rght", {atom("[ab]")}, "[b]"},
      {"rght", {atom("[a]")}, "[]"},
      {"leaf", {atom("[]")}, "K"},
      {"leaf", {atom("[a]")}, "H"},
      {"leaf", {emptyList()}, "K"},
      {"leaf", {l}, "H"},
  });
}

TEST_F(LanguageTest, Indices) {
  expectCases({
      {"look", {atom("[a[q]b]"), num(1)}, "91"},
      {"look", {atom("[ab]"), num(-1)}, "98"},
      {"look", {bytes("\xff"), num(0)}, "255"},
      {"look", {real(-2.5), num(63)}, "K"},
      {"look", {real(2.5), num(-1)}, "H"},
      {"look", {num(5), num(3)}, "H"},
      {"look", {num(5), num(-1)}, "K"},
      {"look", {num(5), num(9)}, "H"},
      {"look", {stream("10101"), num(1)}, "H"},
      {"cork", {num(5), num(3), atom("K")}, "7"},
      {"cork", {num(5), num(1), atom("H")}, "05"},
      {"cork", {num(5), num(7), atom("K")}, "37"},
      {"cork", {num(5), num(9), atom("H")}, "5"},
      {"cork", {num(5), num(0), atom("H")}, "005"},
      {"cork", {atom("[abc]"), num(1), num(120)}, "[axc]"},
      {"cork", {bytes("abc"), num(-1), num(0x178)}, "(c)abx"},
      {"trim", {bytes("hello"), num(1), num(3)}, "(b)el"},
      {"trim", {bytes("hello"), num(-3), num(-1)}, "(b)ll"},
      {"trim", {bytes("hello"), num(2), num(2)}, "()"},
      {"trim", {atom("[a[q]b]"), num(1), num(4)}, "[[q]]"},
      {"trim", {atom("[ab]"), num(0), num(0)}, "[]"},
  });
  Handle r = call("cork", {real(2.5), num(63), atom("K")});
  EXPECT_EQ(numbers::doubleFromReal(r.get()), -2.5);
}

TEST_F(LanguageTest, OutOfRangeGivesZ) {
  for (const Case& c : std::initializer_list<Case>{
           {"look", {atom("[ab]"), num(2)}, "Z"},
           {"look", {atom("[ab]"), num(-3)}, "Z"},
           {"look", {real(1.0), num(64)}, "Z"},
           {"look", {num(5), num(-6)}, "Z"},
           {"look", {num(5), atom("100000000000000000000")}, "Z"},
           {"cork", {num(5), num(-6), atom("K")}, "Z"},
           {"cork", {num(5), num(int64_t{1} << 32), atom("K")}, "Z"},
           {"cork", {bytes("abc"), num(3), num(1)}, "Z"},
           {"cork", {atom("[abc]"), num(1), num(91)}, "Z"},  // would break the text
           {"cork", {atom("[a[q]]"), num(1), num(120)}, "Z"},
           {"trim", {bytes("hi"), num(1), num(3)}, "Z"},
           {"trim", {bytes("hi"), num(-3), num(1)}, "Z"},
           {"trim", {bytes("hi"), num(2), num(1)}, "Z"},
           {"trim", {atom("[a[q]b]"), num(0), num(2)}, "Z"},  // inside an escape
           {"buck", {bytes("")}, "Z"},
           {"buck", {atom("[]")}, "Z"},
           {"wave", {bytes("")}, "Z"},
           {"wave", {atom("[]")}, "Z"},
           {"left", {atom("[]")}, "Z"},
           {"rght", {atom("[]")}, "Z"},
           {"lits", {atom("[ab]")}, "Z"},
           {"lits", {bytes("")}, "Z"},
           {"lits", {real(1e300)}, "Z"},
           {"lits", {real(NAN)}, "Z"},
       })
    EXPECT_EQ(show(call(c.name, c.args)), c.expected) << c.name;
}

TEST_F(LanguageTest, WrongKindsGiveZ) {
  expectVoidArgumentsGiveZ("buck cape copy cork init leaf left lits load look lots rank rght trim wave zits");
  Handle numb = atom("001"), buffer = num(0);
  for (const Case& c : std::initializer_list<Case>{
           {"buck", {atom("abc")}, "Z"},
           {"cape", {num(1)}, "Z"},
           {"cape", {real(1)}, "Z"},
           {"copy", {atom("[x]"), bytes("a")}, "Z"},
           {"copy", {buffer, numb}, "Z"},
           {"copy", {buffer, list({atom("[a]")})}, "Z"},
           {"cork", {numb, num(0), atom("K")}, "Z"},
           {"cork", {num(5), num(0), num(1)}, "Z"},
           {"cork", {atom("[ab]"), num(0), atom("[x]")}, "Z"},
           {"cork", {num(5), atom("[1]"), atom("K")}, "Z"},
           {"init", {numb}, "Z"},
           {"init", {atom("abc")}, "Z"},
           {"init", {list({real(1)})}, "Z"},
           {"leaf", {num(5)}, "Z"},
           {"leaf", {bytes("")}, "Z"},
           {"left", {num(5)}, "Z"},
           {"left", {stream("111")}, "Z"},
           {"left", {bytes("ab")}, "Z"},
           {"rght", {emptyList()}, "Z"},
           {"lits", {numb}, "Z"},
           {"load", {real(1)}, "Z"},
           {"load", {numb}, "Z"},
           {"load", {list({atom("[x]"), real(1)})}, "Z"},
           {"look", {numb, num(0)}, "Z"},
           {"lots", {numb}, "Z"},
           {"rank", {numb}, "Z"},
           {"rank", {emptyList()}, "Z"},
           {"trim", {num(5), num(0), num(1)}, "Z"},
           {"trim", {bytes("ab"), atom("[0]"), num(1)}, "Z"},
           {"wave", {atom("1x")}, "Z"},
           {"zits", {numb}, "Z"},
           {"zits", {pair(atom("[a]"), atom("x"))}, "Z"},
           {"zits", {cells::makePair(atom("J"), atom("K"), atom("5x"))}, "Z"},
       })
    EXPECT_EQ(show(call(c.name, c.args)), c.expected) << c.name;
}

TEST_F(LanguageTest, StructuralOrder) {
  Handle a = atom("a");
  expectCases({
      {"cmpr", {atom("ab"), atom("abc")}, "1"},
      {"cmpr", {atom("abc"), atom("ab")}, "01"},
      {"cmpr", {atom("\xff"), atom("a")}, "01"},  // unsigned bytes
      {"cmpr", {a, pair(a, a)}, "1"},
      {"cmpr", {pair(a, a), a}, "01"},
      {"cmpr", {pair(a, atom("x")), pair(atom("b"), atom("a"))}, "1"},
      {"cmpr", {pair(a, atom("b")), pair(a, atom("a"))}, "01"},
      {"cmpr", {pair(a, atom("b")), pair(a, atom("b"))}, "0"},
      {"cmpr", {a, a}, "0"},
  });
  Handle x = pair(atom("f"), num(1)), y = pair(atom("f"), num(1));
  EXPECT_EQ(show(call("raws", {x, y})), "H");
  Handle tx = call("tern", {x}), ty = call("tern", {y});
  EXPECT_EQ(tx.get(), ty.get());
  EXPECT_EQ(show(call("raws", {tx, ty})), "K");
  EXPECT_EQ(show(call("raws", {x, x})), "K");
}

TEST_F(LanguageTest, PrintedForms) {
  expectCases({
      {"lisp", {pair(num(1), atom("[ab]"))}, "[(V 1 [ab])]"},
      {"lisp", {emptyList()}, "[[q]]"},  // an unbalanced printed form is escaped
      {"lisp", {bytes("a\n")}, "[cape[a[p]]]"},
  });
}

TEST_F(LanguageTest, CopyWritesWhatInitGives) {
  char buffer[16] = {};
  Handle where = address(buffer);
  for (Handle value : {bytes("ab"), atom("[a[q]]"), num(5), real(1.0), stream("111")}) {
    std::memset(buffer, 0, sizeof buffer);
    EXPECT_EQ(show(call("copy", {where, value})), "I");
    std::string payload(cells::byteStringPayload(call("init", {value}).get()));
    EXPECT_EQ(std::string(buffer, payload.size()), payload);
  }
}

TEST_F(LanguageTest, LeakKeepsItsCell) {
  std::size_t before = cells::liveCells();
  {
    Handle kept = atom("kept");
    Handle where = call("leak", {kept});
    EXPECT_EQ(value(where), int64_t(reinterpret_cast<uintptr_t>(kept.get())));
  }
  EXPECT_EQ(cells::liveCells(), before + 1);
}

TEST_F(LanguageTest, MillionElementList) {
  const std::size_t n = 1'000'000;
  auto build = [&] {
    Handle l = emptyList(), v = atom("V"), c = atom("[c]");
    for (std::size_t i = 0; i < n; ++i) l = cells::makePair(cells::makePair(v, c), std::move(l));
    return l;
  };
  Handle a = build(), b = build();
  EXPECT_EQ(show(call("cmpr", {a, b})), "0");
  EXPECT_EQ(call("tern", {a}).get(), call("tern", {b}).get());
  EXPECT_EQ(show(call("rank", {call("zits", {a})})), std::to_string(n));
  // "(V[c] " and ")" per element and the final "[", escaped since that "[" is unbalanced.
  EXPECT_EQ(call("lisp", {a}).text().size(), 11 * n + 5);
  EXPECT_EQ(show(call("rank", {call("init", {call("lots", {call("zits", {a})})})})), std::to_string(n));
}

}  // namespace
}  // namespace library
