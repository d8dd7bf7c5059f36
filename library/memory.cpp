// Raw memory for programs: allocation, block operations, loads and stores.
//
// Decision: `free`, `memset` and the loads apply the integer test to every argument
// like the other rows, so a text or a pair gives "Z" instead of reaching the C call
// as whatever its conversion would make of it.
#include "library/memory.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace library {

// Platform: glibc fails any request above PTRDIFF_MAX bytes, but the sanitizer
// allocators abort on one instead. Such a request is refused here as glibc would
// refuse it ("0", ENOMEM), so that every build gives the same answer.
static bool fitsAllocation(std::size_t count, std::size_t each) {
  return each == 0 || count <= std::size_t(PTRDIFF_MAX) / each;
}

static Num refused() {
  errno = ENOMEM;
  return Num{0};
}

// Decision: a request of an absurd size (above PTRDIFF_MAX bytes, a count times a
// size included) gives "0", never an abort.
Num mallocImpl(Int n) {
  if (!fitsAllocation(1, n.count())) return refused();
  return Num::address(std::malloc(n.count()));
}

Num callocImpl(Int number, Int each) {
  if (!fitsAllocation(number.count(), each.count())) return refused();
  return Num::address(std::calloc(number.count(), each.count()));
}

Num reallocImpl(Int address, Int n) {
  if (!fitsAllocation(1, n.count())) return refused();
  return Num::address(std::realloc(address.pointer(), n.count()));
}

Void freeImpl(Int address) {
  std::free(address.pointer());
  return {};
}

Num memcpyImpl(Int to, Int from, Int n) {
  return Num::address(std::memcpy(to.pointer(), from.pointer(), n.count()));
}
Num memmoveImpl(Int to, Int from, Int n) {
  return Num::address(std::memmove(to.pointer(), from.pointer(), n.count()));
}
Num memsetImpl(Int address, Int byte, Int n) {
  return Num::address(std::memset(address.pointer(), int(byte.value), n.count()));
}
Num memcmpImpl(Int a, Int b, Int n) { return Num{std::memcmp(a.pointer(), b.pointer(), n.count())}; }
Num memchrImpl(Int address, Int byte, Int n) {
  return Num::address(std::memchr(address.pointer(), int(byte.value), n.count()));
}
Void bzeroImpl(Int address, Int n) {
  std::memset(address.pointer(), 0, n.count());
  return {};
}

// ---- Loads and stores: host byte order, any alignment ----
// The address is the program's: a bad one faults inside the guarded call and
// becomes a report, so the undefined-behaviour checks stay out of the way.

template <class T>
__attribute__((no_sanitize("undefined"))) static auto load(Int address) {
  T v;
  std::memcpy(&v, address.pointer(), sizeof v);
  if constexpr (std::is_signed_v<T>) return Num{v};
  else
    return UNum{v};
}

// Stores the low bits of the value: it is taken modulo 2 to the width.
template <class T>
__attribute__((no_sanitize("undefined"))) static Void store(Int address, Int value) {
  T v = T(uint64_t(value.value));
  std::memcpy(address.pointer(), &v, sizeof v);
  return {};
}

UNum getxImpl(Int address) { return load<uint8_t>(address); }
Num getyImpl(Int address) { return load<int8_t>(address); }
UNum gettImpl(Int address) { return load<uint16_t>(address); }
Num getvImpl(Int address) { return load<int16_t>(address); }
UNum getuImpl(Int address) { return load<uint32_t>(address); }
Num getsImpl(Int address) { return load<int32_t>(address); }
UNum getwImpl(Int address) { return load<uint64_t>(address); }
Num getzImpl(Int address) { return load<int64_t>(address); }

Void setxImpl(Int address, Int value) { return store<uint8_t>(address, value); }
Void settImpl(Int address, Int value) { return store<uint16_t>(address, value); }
Void setuImpl(Int address, Int value) { return store<uint32_t>(address, value); }
Void setwImpl(Int address, Int value) { return store<uint64_t>(address, value); }

}  // namespace library
