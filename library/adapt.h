// The machinery that turns a typed C++ function into a built-in, written once:
// argument types whose `read` checks a value's kind and converts it, result types
// that become cells, and `adapt<F>`, which fetches exactly as many arguments as F
// takes from the application spine, answers "Z" at the first argument of the wrong
// kind, and otherwise calls F and converts its result. A wrapper is then a typed
// function of a line or two, and its row in the table is `row<fooImpl>("foo")`:
// the arity comes from F's signature, so the row and the code cannot disagree.
//
// Pointers that a `Text` holds point into an argument cell, which the engine holds
// until the call returns: never keep one.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "cells/cell.h"
#include "cells/common_atoms.h"
#include "cells/convert.h"
#include "library/builtin_table.h"
#include "library/host_fault.h"
#include "library/live_handles.h"
#include "numbers/real.h"
#include "numbers/value_kind.h"

namespace library {

using cells::ValueKind;

using cells::Cell;
using cells::Handle;

// The fuzzing build explores the language itself: there, no built-in reaches host
// memory, files, sockets or the process (texts given by address included).
#ifdef VORL_SANDBOX
inline constexpr bool kSandbox = true;
#else
inline constexpr bool kSandbox = false;
#endif

// ---- Argument types ----------------------------------------------------------

// An integer, address or handle: passes the integer test; its value modulo 2^64.
struct Int {
  int64_t value;
  // Inline: returned from a call, the optional's flag byte would be read back as part
  // of a whole word, a load that must wait for the store to reach the cache.
  [[gnu::always_inline]] static std::optional<Int> read(const Cell* c) {
    if (int64_t v; cells::readShortInteger(c, v)) return Int{v};
    if (!cells::isInteger(c)) return std::nullopt;
    return Int{cells::int64FromCell(c)};
  }
  // The value as a size or count (a negative value wraps, as in a C call).
  std::size_t count() const { return std::size_t(value); }
  template <class T = void>
  T* pointer() const {
    return reinterpret_cast<T*>(static_cast<uintptr_t>(value));
  }
};

// An integer read as a 64-bit pattern (load addresses).
struct Bits {
  uint64_t value;
  static std::optional<Bits> read(const Cell* c) {
    if (int64_t v; cells::readShortInteger(c, v)) return Bits{uint64_t(v)};
    if (!cells::isInteger(c)) return std::nullopt;
    return Bits{uint64_t(cells::int64FromCell(c))};
  }
};

// A C string: a byte string's payload, a text's stored bracket form, or the memory
// at an integer address.
struct Text {
  const char* chars;
  static std::optional<Text> read(const Cell* c) {
    ValueKind kind = numbers::valueKind(c);
    if (kind != ValueKind::byteString && kind != ValueKind::integer && kind != ValueKind::text)
      return std::nullopt;
    if (kSandbox && kind == ValueKind::integer) return std::nullopt;
    const char* chars = static_cast<const char*>(cells::hostPointer(c));
    // Decision: the address 0 is no C string (a missing argument word, a failed
    // search): it gives "Z" rather than a crash inside the C library.
    if (chars == nullptr) return std::nullopt;
    return Text{chars};
  }
};

// Bytes to read with a count given beside them: a C string as `Text` takes it, and
// how many bytes the cell itself holds (a text's stored bytes, a byte string's
// payload), so that a count reaching past a cell's end can be cut short. An address
// carries no bound: the memory behind it is the program's.
struct Bytes {
  const char* chars;
  std::size_t available;
  static std::optional<Bytes> read(const Cell* c) {
    std::optional<Text> t = Text::read(c);
    if (!t) return std::nullopt;
    if (numbers::valueKind(c) == ValueKind::integer) return Bytes{t->chars, SIZE_MAX};
    std::string_view whole = cells::text(c);
    return Bytes{t->chars, whole.size() - std::size_t(t->chars - whole.data())};
  }
};

// A real: the double held in bytes 1 to 8 of a nine-byte atom.
struct Real {
  double value;
  static std::optional<Real> read(const Cell* c) {
    if (numbers::valueKind(c) != ValueKind::real || cells::text(c).size() != 9) return std::nullopt;
    return Real{std::bit_cast<double>(cells::realBits(c))};
  }
};

// A host object that a built-in handed out and that is still open. Any other
// integer, the address 0 included, would make the C library read or free memory
// that is no such object: once every argument has the right kind, the run ends
// with the report of a bad address instead.
template <HandleKind K, class T>
struct Live {
  T* pointer;
  static std::optional<Live> read(const Cell* c) {
    std::optional<Int> i = Int::read(c);
    if (!i) return std::nullopt;
    return Live{i->pointer<T>()};
  }
  void check() const {
    if (!isLiveHandle(K, pointer)) reportBadHandle(reinterpret_cast<uintptr_t>(pointer), handleName(K));
  }
};
using Stream = Live<HandleKind::Stream, std::FILE>;

// Any value, borrowed for the call (the language's own built-ins).
// `sole`: no one but this call can see the value (every cell from the application
// down to it has one reference), so a result may be made of it in place.
struct Term {
  const Cell* cell;
  // A whole word, not a bool: a Term is passed in two registers, and a flag byte
  // stored alone would be read back as part of a word, a load that waits for it.
  uint64_t sole = false;
  static std::optional<Term> read(const Cell* c, bool sole) { return Term{c, sole}; }
};

// ---- Result types ------------------------------------------------------------

struct Num {  // a signed numeral ("%lli")
  int64_t value;
  static Num address(const void* p) { return Num{int64_t(reinterpret_cast<uintptr_t>(p))}; }
};
struct UNum {  // an unsigned numeral ("%llu")
  uint64_t value;
};
struct Truth {  // "K" or "H"
  bool value;
};
struct Void {};  // "I"
struct RealResult {
  double value;
};

inline Handle toCell(Num n) { return cells::numeralFromInt64(n.value); }
inline Handle toCell(UNum n) { return cells::numeralFromUInt64(n.value); }
inline Handle toCell(Truth t) { return cells::truth(t.value); }
inline Handle toCell(Void) { return cells::common(cells::Common::I); }
inline Handle toCell(RealResult r) { return numbers::realFromDouble(r.value); }
inline Handle toCell(Handle h) { return h; }

// ---- The adaptor -------------------------------------------------------------

// An argument of the right kind that may still be unusable checks itself (and ends
// the run) once every argument has passed its kind test.
template <class A>
void checkArgument(const A& a) {
  if constexpr (requires { a.check(); }) a.check();
}

template <auto F>
struct Adaptor;

template <class R, class... A, R (*F)(A...)>
struct Adaptor<F> {
  static constexpr std::size_t arity = sizeof...(A);
  // A C string may be given by its address.
  static constexpr bool readsAddress = ((std::is_same_v<A, Text> || std::is_same_v<A, Bytes>) || ...);
  // Told whether its first argument is held by the application alone (Term::sole):
  // `plus` then grows a text in place.
  static constexpr bool growsFirst = std::is_same_v<std::tuple_element_t<0, std::tuple<A..., void>>, Term>;

  static Handle guardedCall(const Cell* application) { return callGuarded(&call, &guardedCall, application); }
  static Handle guardedCallOnArguments(const Cell* const* args) {
    return callGuardedOn(&callOnArguments, &guardedCall, args);
  }

  static Handle call(const Cell* application) {
    const Cell* args[arity + 1];
    bool sole[arity + 1];
    const Cell* c = application;
    bool path = cells::refCount(application) == 1;  // every spine cell so far held once
    for (std::size_t i = arity; i-- > 0; c = cells::leftOf(c), path = path && cells::refCount(c) == 1) {
      args[i] = cells::rightOf(c);
      sole[i] = path && cells::refCount(args[i]) == 1;
    }
    return callWith(args, sole, std::index_sequence_for<A...>{});
  }

  static Handle callOnArguments(const Cell* const* args) {
    bool sole[arity + 1] = {};
    return callWith(args, sole, std::index_sequence_for<A...>{});
  }

 private:
  template <class T>
  static std::optional<T> readArgument(const Cell* c, bool sole) {
    if constexpr (requires { T::read(c, sole); }) return T::read(c, sole);
    else
      return T::read(c);
  }

  template <std::size_t... I>
  static Handle callWith(const Cell* const* args, const bool* sole, std::index_sequence<I...>) {
    std::tuple<std::optional<A>...> read{readArgument<A>(args[I], sole[I])...};
    if (!(std::get<I>(read) && ...)) return cells::common(cells::Common::Z);
    (checkArgument(*std::get<I>(read)), ...);
    return toCell(F(*std::get<I>(read)...));
  }
};

// One row of the table: the name, the arity deduced from F, the adapted function.
template <auto F>
std::pair<std::string, BuiltinEntry> row(const char* name) {
  return {name, BuiltinEntry{uint8_t(Adaptor<F>::arity), &Adaptor<F>::call, &Adaptor<F>::guardedCall,
                             Adaptor<F>::readsAddress, false, &Adaptor<F>::callOnArguments,
                             &Adaptor<F>::guardedCallOnArguments, Adaptor<F>::growsFirst}};
}

}  // namespace library
