// The host's sockets, one call each; the socket set is the one row with logic of
// its own.
//
// Platform: sockets are POSIX descriptors. There is no library start-up step, and
// `closesocket` is `close`. The driver ignores SIGPIPE, so a send on a connection
// whose peer has gone gives -1 with EPIPE instead of ending the process.
#include "library/sockets.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace library {

static int descriptor(Int s) { return int(s.value); }
static const sockaddr* address(Int a) { return a.pointer<const sockaddr>(); }
static socklen_t length(Int n) { return socklen_t(n.value); }
static socklen_t* lengthAt(Int a) { return a.pointer<socklen_t>(); }

// Decision: as with `write`, data held in a cell is never read past its end: a
// larger count is cut to what the cell holds, and the short count comes back.
static std::size_t sendable(const Bytes& data, Int n) { return std::min(n.count(), data.available); }

Num socketImpl(Int family, Int type, Int protocol) {
  return Num{::socket(int(family.value), int(type.value), int(protocol.value))};
}
Num bindImpl(Int s, Int a, Int n) { return Num{::bind(descriptor(s), address(a), length(n))}; }
Num listenImpl(Int s, Int backlog) { return Num{::listen(descriptor(s), int(backlog.value))}; }
Num acceptImpl(Int s, Int a, Int n) {
  return Num{::accept(descriptor(s), a.pointer<sockaddr>(), lengthAt(n))};
}
Num connectImpl(Int s, Int a, Int n) { return Num{::connect(descriptor(s), address(a), length(n))}; }
Num shutdownImpl(Int s, Int how) { return Num{::shutdown(descriptor(s), int(how.value))}; }
Num closesocketImpl(Int s) { return Num{::close(descriptor(s))}; }
Num setsockoptImpl(Int s, Int level, Int option, Int value, Int n) {
  return Num{::setsockopt(descriptor(s), int(level.value), int(option.value), value.pointer(), length(n))};
}
Num getpeernameImpl(Int s, Int a, Int n) {
  return Num{::getpeername(descriptor(s), a.pointer<sockaddr>(), lengthAt(n))};
}
Num gethostnameImpl(Int buffer, Int n) { return Num{::gethostname(buffer.pointer<char>(), n.count())}; }

Num sendImpl(Int s, Bytes data, Int n, Int flags) {
  return Num{::send(descriptor(s), data.chars, sendable(data, n), int(flags.value))};
}
Num sendtoImpl(Int s, Bytes data, Int n, Int flags, Int a, Int an) {
  return Num{
      ::sendto(descriptor(s), data.chars, sendable(data, n), int(flags.value), address(a), length(an))};
}
Num recvImpl(Int s, Int buffer, Int n, Int flags) {
  return Num{::recv(descriptor(s), buffer.pointer(), n.count(), int(flags.value))};
}
Num recvfromImpl(Int s, Int buffer, Int n, Int flags, Int a, Int an) {
  return Num{::recvfrom(descriptor(s), buffer.pointer(), n.count(), int(flags.value), a.pointer<sockaddr>(),
                        lengthAt(an))};
}

// Decision: unlike the other rows these four read host pointers only, so each
// argument still takes the integer test: a text or a pair gives "Z" rather than
// reaching the resolver as some address.
// The list that getaddrinfo stores at `result` is the program's to free, once.
Num getaddrinfoImpl(Int node, Int service, Int hints, Int result) {
  auto* stored = result.pointer<addrinfo*>();
  int answer = ::getaddrinfo(node.pointer<const char>(), service.pointer<const char>(),
                             hints.pointer<const addrinfo>(), stored);
  if (answer == 0) holdHandle(HandleKind::AddressRecord, *stored);
  return Num{answer};
}
Void freeaddrinfoImpl(Live<HandleKind::AddressRecord, addrinfo> record) {
  dropHandle(HandleKind::AddressRecord, record.pointer);
  ::freeaddrinfo(record.pointer);
  return {};
}
Num getnameinfoImpl(Int a, Int n, Int host, Int hostLength, Int service, Int serviceLength, Int flags) {
  return Num{::getnameinfo(address(a), length(n), host.pointer<char>(), length(hostLength),
                           service.pointer<char>(), length(serviceLength), int(flags.value))};
}
// Platform: the C library's own message text, a NUL-terminated byte string that it
// keeps; nothing is copied or overwritten between calls.
Num gai_strerrorImpl(Int code) { return Num::address(::gai_strerror(int(code.value))); }
Num inet_ntopImpl(Int family, Int source, Int destination, Int size) {
  return Num::address(
      ::inet_ntop(int(family.value), source.pointer(), destination.pointer<char>(), length(size)));
}
Num inet_ptonImpl(Int family, Int source, Int destination) {
  return Num{::inet_pton(int(family.value), source.pointer<const char>(), destination.pointer())};
}

// The value is taken modulo 2 to the width, as the C call's parameter type takes it.
Num htonlImpl(Int v) { return Num{::htonl(uint32_t(v.value))}; }
Num htonsImpl(Int v) { return Num{::htons(uint16_t(v.value))}; }
UNum ntohlImpl(Int v) { return UNum{::ntohl(uint32_t(v.value))}; }
UNum ntohsImpl(Int v) { return UNum{::ntohs(uint16_t(v.value))}; }

// ---- The socket set ----
//
// Platform: the host's own fd_set is a bitmap of descriptors; programs use this
// layout instead, 520 bytes: an unsigned 32-bit count at offset 0, 4 bytes of
// padding, and from offset 8 room for 64 sockets of 64 bits each.
constexpr std::size_t kSetCapacity = 64;
constexpr std::size_t kSetHandles = 8;

static uint32_t setCount(const unsigned char* set) {
  uint32_t count;
  std::memcpy(&count, set, sizeof count);
  return count;
}
static int64_t setHandle(const unsigned char* set, std::size_t i) {
  int64_t handle;
  std::memcpy(&handle, set + kSetHandles + i * sizeof handle, sizeof handle);
  return handle;
}
static bool setHolds(const unsigned char* set, std::size_t count, int64_t socket) {
  for (std::size_t i = 0; i < count; ++i)
    if (setHandle(set, i) == socket) return true;
  return false;
}

// Appends the socket unless it is there already or the set is full.
// Decision: a count of 64 or more (a full set, or one never initialised or damaged)
// leaves the set as it is, so the call never reaches past the record's 520 bytes.
Void fd_setImpl(Int socket, Int set) {
  auto* bytes = set.pointer<unsigned char>();
  uint32_t count = setCount(bytes);
  if (count >= kSetCapacity || setHolds(bytes, count, socket.value)) return {};
  std::memcpy(bytes + kSetHandles + count * sizeof socket.value, &socket.value, sizeof socket.value);
  uint32_t grown = count + 1;
  std::memcpy(bytes, &grown, sizeof grown);
  return {};
}

// ---- Constants and record sizes: this host's own values ----

Num af_unspecImpl() { return Num{AF_UNSPEC}; }

// Platform: AI_PASSIVE and SOCK_STREAM are both 1 here too, so the two rows keep
// sharing this one code.
static_assert(AI_PASSIVE == 1 && SOCK_STREAM == 1);
Num ai_passiveImpl() { return Num{1}; }

// Decision: the size of the host's own record, which `getaddrinfo` fills: 48 bytes
// on this host, as the host-layout definition describes it.
Num addrinfoImpl() { return Num{sizeof(addrinfo)}; }

}  // namespace library
