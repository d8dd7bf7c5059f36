#include "compile/trace_log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace compile {
namespace {

class TraceLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/trace_log_testXXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    folder_ = folder;
    log_ = folder_ + "/log";
  }
  void TearDown() override { std::system(("rm -rf " + folder_).c_str()); }
  std::string contents(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string folder_, log_;
};

TEST_F(TraceLogTest, AppendsLinesToAPrivateFile) {
  appendTraceLine(log_.c_str(), "First f: 1");
  appendTraceLine(log_.c_str(), "First g: 2");
  EXPECT_EQ(contents(log_), "First f: 1\nFirst g: 2\n");
  struct stat about;
  ASSERT_EQ(::stat(log_.c_str(), &about), 0);
  EXPECT_EQ(about.st_mode & 0777, 0600u);
}

TEST_F(TraceLogTest, NeverFollowsALink) {
  std::string target = folder_ + "/target";
  ASSERT_EQ(::symlink(target.c_str(), log_.c_str()), 0);
  appendTraceLine(log_.c_str(), "First f: 1");
  EXPECT_NE(::access(target.c_str(), F_OK), 0);
}

// A FIFO at the path, with or without a reader, must neither block nor be written.
TEST_F(TraceLogTest, SkipsAFifoWithoutWaiting) {
  ASSERT_EQ(::mkfifo(log_.c_str(), 0600), 0);
  appendTraceLine(log_.c_str(), "no reader");
  int reader = ::open(log_.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  appendTraceLine(log_.c_str(), "with a reader");
  char byte;
  EXPECT_LE(::read(reader, &byte, 1), 0);
  ::close(reader);
}

}  // namespace
}  // namespace compile
