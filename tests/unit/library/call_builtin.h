// Calling built-ins the way the engine will: build the application of the name to
// its arguments (nested to the left) and call the row's implementation on it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cells/cell.h"
#include "cells/common_atoms.h"
#include "cells/convert.h"
#include "library/builtin_table.h"
#include "numbers/value_kind.h"

namespace library::testing {

using cells::Handle;

inline Handle call(std::string_view name, std::initializer_list<Handle> args = {}) {
  const BuiltinEntry* entry = findBuiltin(name);
  EXPECT_NE(entry, nullptr) << name;
  EXPECT_EQ(entry->arity, args.size()) << name;
  Handle app = cells::makeAtom(std::string(name).c_str());
  for (const Handle& a : args) app = cells::makePair(app, a);
  return entry->impl(app.get());
}

inline Handle num(int64_t v) { return cells::numeralFromInt64(v); }
inline Handle address(const void* p) { return num(int64_t(reinterpret_cast<uintptr_t>(p))); }
inline Handle atom(const char* text) { return cells::makeAtom(text); }

// A byte string: "(" + its length in base-64 digits + ")" + the bytes, NULs included.
inline Handle bytes(std::string_view payload) {
  std::string digits;
  std::size_t n = payload.size();
  do digits.insert(digits.begin(), cells::kDigitAlphabet[n % 64]);
  while (n /= 64);
  return cells::makeAtom("(" + digits + ")" + std::string(payload));
}

inline std::string show(const Handle& h) { return std::string(h.text()); }
inline int64_t value(const Handle& h) { return cells::int64FromCell(h.get()); }
template <class T = char>
T* pointer(const Handle& h) {
  return reinterpret_cast<T*>(uintptr_t(value(h)));
}

// A value of no kind a wrapper accepts: a pair such as (f x).
inline Handle anyPair() { return cells::makePair(atom("f"), atom("x")); }

// Values of no kind, some of which look like numbers at their start: a pair (f x),
// atoms that only begin like a numeral or like "K", and bit streams that break after
// their first element.
inline std::vector<Handle> voidValues() {
  auto element = [](const char* bit, Handle rest) {
    return cells::makePair(cells::makePair(atom("J"), atom(bit)), std::move(rest));
  };
  return {anyPair(),
          atom("5a"),
          atom("1,"),
          atom("Kx"),
          atom("4096a"),
          atom("12345678901234567890z"),
          element("K", element("I", atom("K"))),
          element("K", element("K", atom("[a]")))};
}

// Every row named (space-separated) answers "Z" when each argument is such a value.
inline void expectVoidArgumentsGiveZ(std::string_view names) {
  std::vector<Handle> values = voidValues();
  std::istringstream words{std::string(names)};
  for (std::string name; words >> name;) {
    const BuiltinEntry* entry = findBuiltin(name);
    ASSERT_NE(entry, nullptr) << name;
    if (entry->arity == 0) continue;
    for (std::size_t v = 0; v < values.size(); ++v) {
      Handle app = atom(name.c_str());
      for (int i = 0; i < entry->arity; ++i) app = cells::makePair(app, values[v]);
      EXPECT_EQ(show(entry->impl(app.get())), "Z") << name << " of void value " << v;
    }
  }
}

// Checks that no cell outlives its test once the results are dropped.
class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    numbers::installCellSeams();
    for (auto c : {cells::Common::Z, cells::Common::I, cells::Common::K, cells::Common::H}) cells::common(c);
    before_ = cells::liveCells();
  }
  void TearDown() override { EXPECT_EQ(cells::liveCells(), before_); }

 private:
  std::size_t before_ = 0;
};

}  // namespace library::testing
