#include "driver/driver.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/unit/library/call_builtin.h"

namespace driver {
namespace {

TEST(ReadProgramFileTest, KeepsEveryByteAcrossBlocks) {
  std::string bytes;
  for (int i = 0; i < 3 * 4095 + 17; ++i) bytes += char(i * 7 % 256);
  bytes += "\r\n";
  bytes += std::string("\0\xFF", 2);
  auto path = std::filesystem::temp_directory_path() / "vorl_read_test.vorl";
  std::ofstream(path, std::ios::binary) << bytes;
  std::optional<std::string> read = readProgramFile(path.c_str());
  std::filesystem::remove(path);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, bytes);
}

TEST(ReadProgramFileTest, EmptyMissingAndFolder) {
  auto path = std::filesystem::temp_directory_path() / "vorl_empty_test.vorl";
  std::ofstream(path, std::ios::binary).flush();
  EXPECT_EQ(readProgramFile(path.c_str()), std::string());
  std::filesystem::remove(path);
  EXPECT_FALSE(readProgramFile(path.c_str()));
  EXPECT_FALSE(readProgramFile(std::filesystem::temp_directory_path().c_str()));
}

TEST(BlankInterpreterLineTest, OnlyTheFirstLineAfterHashBang) {
  struct Case {
    const char* name;
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"1 interpreter line", "#!/usr/bin/env vorl\nx\\0", std::string(19, ' ') + "\nx\\0"},
      {"2 carriage return stays a space", "#!vorl\r\n0", "       \n0"},
      {"3 no line feed", "#!vorl", "      "},
      {"4 only the first line", "#!a\n#!b\n", "   \n#!b\n"},
      {"5 not at the start", " #!a\n0", " #!a\n0"},
      {"6 one byte of two", "#a\n0", "#a\n0"},
      {"7 empty", "", ""},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    blankInterpreterLine(text);
    EXPECT_EQ(text, c.expected) << c.name;
  }
}

// Sends one byte with the `send` built-in on a connection whose peer has closed, and
// exits with 0 exactly when that gave -1 with EPIPE.
[[noreturn]] static void sendToClosedPeer() {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) std::exit(2);
  close(ends[1]);
  using namespace library::testing;
  int64_t sent = value(call("send", {num(ends[0]), bytes("x"), num(1), num(0)}));
  std::exit(sent == -1 && errno == EPIPE ? 0 : 1);
}

TEST(RunDriverTest, SendToAClosedPeerFailsInsteadOfEndingTheProcess) {
  numbers::installCellSeams();
  EXPECT_EXIT(sendToClosedPeer(), ::testing::KilledBySignal(SIGPIPE), "");
  char name[] = "vorl";
  char* argv[] = {name, nullptr};
  EXPECT_EXIT(
      {
        runDriver(1, argv);
        sendToClosedPeer();
      },
      ::testing::ExitedWithCode(0), "Usage");
}

}  // namespace
}  // namespace driver
