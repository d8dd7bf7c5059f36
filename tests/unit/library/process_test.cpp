#include "library/process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "call_builtin.h"

namespace library {
namespace {

using namespace library::testing;

class ProcessTest : public LibraryTest {};

static double realOf(const Handle& h) {
  EXPECT_EQ(numbers::valueKind(h.get()), ValueKind::real);
  double d;
  std::memcpy(&d, h.text().data() + 1, sizeof d);
  return d;
}

TEST_F(ProcessTest, ClockAndCalendar) {
  std::time_t before = std::time(nullptr);
  int64_t now = value(call("time", {num(0)}));
  EXPECT_GE(now, before);
  EXPECT_LE(now, std::time(nullptr));
  EXPECT_EQ(show(call("time_t")), "8");

  Handle t = call("malloc", {call("time_t")});
  call("setw", {t, num(86400 * 365)});  // 1971-01-01 00:00:00 UTC
  Handle record = call("gmtime", {t});
  EXPECT_EQ(pointer<std::tm>(record)->tm_year, 71);
  EXPECT_STREQ(pointer(call("asctime", {record})), "Fri Jan  1 00:00:00 1971\n");
  Handle buffer = call("malloc", {num(32)});
  EXPECT_EQ(show(call("strftime", {buffer, num(32), bytes("%Y-%m-%d"), record})), "10");
  EXPECT_STREQ(pointer(buffer), "1971-01-01");
  Handle local = call("localtime", {t});
  EXPECT_EQ(value(call("mktime", {local})), 86400 * 365);
  EXPECT_NE(value(call("ctime", {t})), 0);
  for (auto& h : {t, buffer}) call("free", {h});

  EXPECT_EQ(realOf(call("difftime", {num(now), num(now)})), 0.0);
  EXPECT_EQ(realOf(call("difftime", {num(10), num(25)})), -15.0);
}

TEST_F(ProcessTest, Environment) {
  ASSERT_EQ(setenv("VORL_TEST_VALUE", "seven", 1), 0);
  EXPECT_STREQ(pointer(call("getenv", {bytes("VORL_TEST_VALUE")})), "seven");
  unsetenv("VORL_TEST_VALUE");
  EXPECT_EQ(show(call("getenv", {bytes("VORL_TEST_VALUE")})), "0");
}

TEST_F(ProcessTest, CommandStatus) {
  int status = int(value(call("system", {bytes("exit 3")})));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
}

TEST_F(ProcessTest, Assert) {
  EXPECT_EQ(show(call("assert", {atom("K")})), "I");
  EXPECT_EQ(show(call("assert", {num(1)})), "Z");
  EXPECT_EQ(show(call("assert", {atom("[H]")})), "Z");
  EXPECT_DEATH(call("assert", {atom("H")}), "^ASSERTION FAILED:library/process.cpp:[0-9]+");
}

TEST_F(ProcessTest, EndingTheProcess) {
  EXPECT_EXIT(call("exit", {num(259)}), ::testing::ExitedWithCode(3), "");
  EXPECT_EXIT(  // the C streams are flushed on the way out
      {
        std::setvbuf(stderr, nullptr, _IOFBF, 256);
        std::fputs("still buffered", stderr);
        call("exit", {num(0)});
      },
      ::testing::ExitedWithCode(0), "still buffered");
  EXPECT_EXIT(call("abort"), ::testing::KilledBySignal(SIGABRT), "");
  EXPECT_EXIT(call("raise", {num(SIGTERM)}), ::testing::KilledBySignal(SIGTERM), "");
  EXPECT_EQ(show(call("exit", {atom("[0]")})), "Z");
}

// The constants are this host's own, so they agree with the error number.
TEST_F(ProcessTest, ErrorNumbers) {
  struct {
    const char* name;
    int value;
  } cases[] = {
      {"eintr", EINTR},         {"eio", EIO},
      {"enxio", ENXIO},         {"ebadf", EBADF},
      {"enomem", ENOMEM},       {"eacces", EACCES},
      {"efault", EFAULT},       {"enodev", ENODEV},
      {"einval", EINVAL},       {"enfile", ENFILE},
      {"emfile", EMFILE},       {"econnaborted", ECONNABORTED},
      {"enotsock", ENOTSOCK},   {"eopnotsupp", EOPNOTSUPP},
      {"eoverflow", EOVERFLOW}, {"ewouldblock", EWOULDBLOCK},
  };
  for (auto& c : cases) EXPECT_EQ(value(call(c.name)), c.value) << c.name;
  EXPECT_EQ(show(call("eacces")), "13");
  call("fopen", {bytes("/nonexistent/vorl"), bytes("r")});
  EXPECT_EQ(show(call("errno")), "2");
}

TEST_F(ProcessTest, WrongKindsGiveZ) {
  expectVoidArgumentsGiveZ(
      "asctime assert ctime difftime exit getenv gmtime localtime mktime raise strftime system time");
}

}  // namespace
}  // namespace library
