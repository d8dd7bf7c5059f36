#include "library/sockets.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "call_builtin.h"

namespace library {
namespace {

using namespace library::testing;

class SocketsTest : public LibraryTest {};

constexpr int64_t kAddressSize = sizeof(sockaddr_in);

static Handle at(const Handle& base, int64_t offset) { return num(value(base) + offset); }

// A socket whose sends, receives, connects and accepts give up after five seconds,
// so that no test can hang.
static Handle boundedSocket(int type) {
  Handle s = call("socket", {num(AF_INET), num(type), num(0)});
  EXPECT_GE(value(s), 0);
  Handle limit = call("calloc", {num(1), num(sizeof(timeval))});
  pointer<timeval>(limit)->tv_sec = 5;
  for (int option : {SO_RCVTIMEO, SO_SNDTIMEO})
    EXPECT_EQ(show(call("setsockopt", {s, num(SOL_SOCKET), num(option), limit, num(sizeof(timeval))})), "0");
  call("free", {limit});
  return s;
}

// The record of 127.0.0.1 and a port, written with the store built-ins.
static Handle loopback(uint16_t port) {
  Handle record = call("calloc", {num(1), num(kAddressSize)});
  call("sett", {at(record, offsetof(sockaddr_in, sin_family)), num(AF_INET)});
  call("sett", {at(record, offsetof(sockaddr_in, sin_port)), call("htons", {num(port)})});
  Handle text = call("strdup", {bytes("127.0.0.1")});
  EXPECT_EQ(show(call("inet_pton", {num(AF_INET), text, at(record, offsetof(sockaddr_in, sin_addr))})), "1");
  call("free", {text});
  return record;
}

static uint16_t boundPort(const Handle& s) {
  sockaddr_in a{};
  socklen_t n = sizeof a;
  EXPECT_EQ(getsockname(int(value(s)), reinterpret_cast<sockaddr*>(&a), &n), 0);
  return ntohs(a.sin_port);
}

// Receives exactly `want` bytes (or what comes before the end or an error).
static std::string receive(const Handle& s, std::size_t want) {
  Handle buffer = call("malloc", {num(int64_t(want))});
  std::size_t got = 0;
  for (int64_t n = 1; got < want && n > 0; got += n > 0 ? std::size_t(n) : 0)
    n = value(call("recv", {s, at(buffer, int64_t(got)), num(int64_t(want - got)), num(0)}));
  std::string bytes(pointer(buffer), got);
  call("free", {buffer});
  return bytes;
}

// The listening socket's connection completes in the kernel's backlog, so one thread
// can connect first and accept afterwards.
TEST_F(SocketsTest, LoopbackStreamRoundTrip) {
  Handle server = boundedSocket(SOCK_STREAM);
  Handle anyPort = loopback(0);
  EXPECT_EQ(show(call("bind", {server, anyPort, num(kAddressSize)})), "0");
  EXPECT_EQ(show(call("listen", {server, num(1)})), "0");
  Handle there = loopback(boundPort(server));
  Handle client = boundedSocket(SOCK_STREAM);
  EXPECT_EQ(show(call("connect", {client, there, num(kAddressSize)})), "0");

  Handle peer = call("calloc", {num(1), num(kAddressSize)});
  Handle peerLength = call("malloc", {num(sizeof(socklen_t))});
  call("setu", {peerLength, num(kAddressSize)});
  Handle accepted = call("accept", {server, peer, peerLength});
  ASSERT_GE(value(accepted), 0);
  EXPECT_EQ(value(call("getu", {peerLength})), kAddressSize);
  Handle shown = call("malloc", {num(INET_ADDRSTRLEN)});
  EXPECT_EQ(value(call("inet_ntop", {num(AF_INET), at(peer, offsetof(sockaddr_in, sin_addr)), shown,
                                     num(INET_ADDRSTRLEN)})),
            value(shown));
  EXPECT_STREQ(pointer(shown), "127.0.0.1");

  // A byte string goes as its payload, a text as its stored bytes; a count past the
  // cell's end is cut short.
  EXPECT_EQ(show(call("send", {client, bytes(std::string_view("pi\0ng", 5)), num(5), num(0)})), "5");
  EXPECT_EQ(show(call("send", {client, atom("[ok]"), num(100), num(0)})), "4");
  EXPECT_EQ(receive(accepted, 9), std::string("pi\0ng[ok]", 9));

  // The reply is sent from memory, by address.
  EXPECT_EQ(show(call("send", {accepted, shown, num(3), num(0)})), "3");
  EXPECT_EQ(receive(client, 3), "127");

  call("setu", {peerLength, num(kAddressSize)});
  EXPECT_EQ(show(call("getpeername", {client, peer, peerLength})), "0");
  EXPECT_EQ(value(call("ntohs", {call("gett", {at(peer, offsetof(sockaddr_in, sin_port))})})),
            boundPort(server));

  EXPECT_EQ(show(call("shutdown", {client, num(SHUT_WR)})), "0");
  EXPECT_EQ(receive(accepted, 1), "");  // the orderly end
  for (const Handle& s : {accepted, client, server}) EXPECT_EQ(show(call("closesocket", {s})), "0");
  EXPECT_EQ(show(call("closesocket", {server})), "01");
  for (const Handle& h : {anyPort, there, peer, peerLength, shown}) call("free", {h});
}

TEST_F(SocketsTest, LoopbackDatagramToItself) {
  Handle s = boundedSocket(SOCK_DGRAM);
  Handle here = loopback(0);
  EXPECT_EQ(show(call("bind", {s, here, num(kAddressSize)})), "0");
  call("free", {here});
  here = loopback(boundPort(s));
  EXPECT_EQ(show(call("sendto", {s, atom("[hello]"), num(7), num(0), here, num(kAddressSize)})), "7");

  Handle buffer = call("calloc", {num(1), num(16)});
  Handle from = call("calloc", {num(1), num(kAddressSize)});
  Handle fromLength = call("malloc", {num(sizeof(socklen_t))});
  call("setu", {fromLength, num(kAddressSize)});
  EXPECT_EQ(show(call("recvfrom", {s, buffer, num(16), num(0), from, fromLength})), "7");
  EXPECT_STREQ(pointer(buffer), "[hello]");
  EXPECT_EQ(std::memcmp(pointer(from), pointer(here), kAddressSize), 0);
  call("closesocket", {s});
  for (const Handle& h : {here, buffer, from, fromLength}) call("free", {h});
}

TEST_F(SocketsTest, ByteOrder) {
  struct {
    const char* name;
    int64_t argument;
    const char* result;
  } cases[] = {
      {"htons", 1, "256"},
      {"ntohs", 256, "1"},
      {"htons", 0x10001, "256"},
      {"ntohs", 0xABCD, "52651"},
      {"htonl", 1, "16777216"},
      {"ntohl", 16777216, "1"},
      {"htonl", 0x01020304, "67305985"},
      {"ntohl", -1, "4294967295"},
  };
  for (auto& c : cases) EXPECT_EQ(show(call(c.name, {num(c.argument)})), c.result) << c.name << c.argument;
}

TEST_F(SocketsTest, AddressTextRoundTrip) {
  struct {
    int family;
    const char* text;
  } cases[] = {{AF_INET, "192.0.2.33"}, {AF_INET6, "2001:db8::7"}, {AF_INET6, "::1"}};
  Handle binary = call("calloc", {num(1), num(16)});
  Handle back = call("calloc", {num(1), num(INET6_ADDRSTRLEN)});
  for (auto& c : cases) {
    Handle text = call("strdup", {bytes(c.text)});
    EXPECT_EQ(show(call("inet_pton", {num(c.family), text, binary})), "1") << c.text;
    EXPECT_EQ(value(call("inet_ntop", {num(c.family), binary, back, num(INET6_ADDRSTRLEN)})), value(back));
    EXPECT_STREQ(pointer(back), c.text);
    EXPECT_EQ(show(call("inet_ntop", {num(c.family), binary, back, num(3)})), "0") << "room for 3 bytes";
    call("free", {text});
  }
  Handle bad = call("strdup", {bytes("300.1.2.3")});
  EXPECT_EQ(show(call("inet_pton", {num(AF_INET), bad, binary})), "0");
  for (const Handle& h : {binary, back, bad}) call("free", {h});
}

// Offsets in the host's address-information record, as the host-layout definition
// gives them: ai_flags 0, ai_family 4, ai_socktype 8, ai_addrlen 16, ai_addr 24.
TEST_F(SocketsTest, NameResolution) {
  Handle hints = call("calloc", {num(1), call("addrinfo")});
  call("setu", {hints, num(AI_NUMERICHOST | AI_NUMERICSERV)});
  call("setu", {at(hints, 4), num(AF_INET)});
  call("setu", {at(hints, 8), num(SOCK_STREAM)});
  Handle node = call("strdup", {bytes("127.0.0.1")});
  Handle service = call("strdup", {bytes("8080")});
  Handle slot = call("calloc", {num(1), num(8)});
  EXPECT_EQ(show(call("getaddrinfo", {node, service, hints, slot})), "0");
  Handle first = call("getz", {slot});
  ASSERT_NE(value(first), 0);
  EXPECT_EQ(value(call("getu", {at(first, 4)})), AF_INET);
  EXPECT_EQ(value(call("getu", {at(first, 16)})), kAddressSize);

  Handle host = call("calloc", {num(1), num(NI_MAXHOST)});
  Handle port = call("calloc", {num(1), num(NI_MAXSERV)});
  EXPECT_EQ(show(call("getnameinfo", {call("getz", {at(first, 24)}), num(kAddressSize), host, num(NI_MAXHOST),
                                      port, num(NI_MAXSERV), num(NI_NUMERICHOST | NI_NUMERICSERV)})),
            "0");
  EXPECT_STREQ(pointer(host), "127.0.0.1");
  EXPECT_STREQ(pointer(port), "8080");
  EXPECT_EQ(show(call("freeaddrinfo", {first})), "I");

  Handle word = call("strdup", {bytes("not-an-address")});
  int64_t failure = value(call("getaddrinfo", {word, num(0), hints, slot}));
  EXPECT_EQ(failure, EAI_NONAME);
  Handle message = call("gai_strerror", {num(failure)});
  ASSERT_NE(value(message), 0);
  EXPECT_GT(std::strlen(pointer(message)), 0u);

  EXPECT_EQ(show(call("gethostname", {host, num(NI_MAXHOST)})), "0");
  EXPECT_GT(std::strlen(pointer(host)), 0u);
  for (const Handle& h : {hints, node, service, slot, host, port, word}) call("free", {h});
}

// The set: an unsigned 32-bit count at 0, then 64 sockets of 64 bits from offset 8.
TEST_F(SocketsTest, SocketSet) {
  constexpr int64_t kSetSize = 520;
  Handle set = call("calloc", {num(1), num(kSetSize)});
  auto count = [&] { return value(call("getu", {set})); };
  auto slot = [&](int64_t i) { return value(call("getz", {at(set, 8 + 8 * i)})); };
  auto snapshot = [&] { return std::string(pointer(set), kSetSize); };

  EXPECT_EQ(show(call("fd_set", {num(7), set})), "I");
  EXPECT_EQ(show(call("fd_set", {num(7), set})), "I");
  EXPECT_EQ(count(), 1);
  EXPECT_EQ(slot(0), 7);
  for (int64_t s = 100; s < 163; ++s) call("fd_set", {num(s), set});
  EXPECT_EQ(count(), 64);
  EXPECT_EQ(slot(63), 162);

  std::string full = snapshot();
  struct {
    const char* why;
    int64_t socket;
  } unchanged[] = {{"a 65th socket", 999}, {"a socket already there", 7}, {"the last one again", 162}};
  for (auto& c : unchanged) {
    call("fd_set", {num(c.socket), set});
    EXPECT_EQ(snapshot(), full) << c.why;
  }

  // A count past the capacity is a full set: nothing is read or written past the record.
  call("setu", {set, num(1000)});
  full = snapshot();
  call("fd_set", {num(5), set});
  EXPECT_EQ(snapshot(), full);
  call("free", {set});
}

TEST_F(SocketsTest, Constants) {
  struct {
    const char* name;
    const char* result;
  } cases[] = {{"ai_passive", "1"}, {"sock_stream", "1"}, {"af_unspec", "0"}, {"addrinfo", "48"}};
  for (auto& c : cases) EXPECT_EQ(show(call(c.name)), c.result) << c.name;
  EXPECT_EQ(findBuiltin("ai_passive")->impl, findBuiltin("sock_stream")->impl);
}

TEST_F(SocketsTest, WrongKindsGiveZ) {
  expectVoidArgumentsGiveZ(
      "accept bind closesocket connect fd_set freeaddrinfo gai_strerror getaddrinfo gethostname getnameinfo "
      "getpeername htonl htons inet_ntop inet_pton listen ntohl ntohs recv recvfrom send sendto setsockopt "
      "shutdown socket");
  struct {
    const char* name;
    std::initializer_list<Handle> args;
  } cases[] = {
      {"socket", {num(AF_INET), atom("00"), num(0)}},
      {"getaddrinfo", {atom("[127.0.0.1]"), num(0), num(0), num(0)}},
      {"freeaddrinfo", {bytes("x")}},
      {"inet_pton", {num(AF_INET), bytes("127.0.0.1"), num(0)}},
      {"send", {num(0), numbers::realFromDouble(1.0), num(1), num(0)}},
      {"fd_set", {num(1), atom("[set]")}},
      {"htons", {atom("[1]")}},
  };
  for (auto& c : cases) EXPECT_EQ(show(call(c.name, c.args)), "Z") << c.name;
}

}  // namespace
}  // namespace library
