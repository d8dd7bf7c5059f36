#include "library/streams.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "call_builtin.h"

namespace library {
namespace {

using namespace library::testing;

// Each test works in a fresh temporary folder, removed afterwards.
class StreamsTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    char pattern[] = "/tmp/vorl-streams-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::filesystem::remove_all(folder_);
    LibraryTest::TearDown();
  }
  std::string where(const char* name) const { return folder_ + "/" + name; }
  Handle path(const char* name) const { return bytes(where(name)); }

 private:
  std::string folder_;
};

constexpr std::string_view kPayload{"a\0b\xff\n", 5};

TEST_F(StreamsTest, WrittenFileReadsBackByteForByte) {
  Handle out = call("fopen", {path("data"), bytes("wb")});
  ASSERT_NE(value(out), 0);
  EXPECT_EQ(show(call("fwrite", {bytes(kPayload), num(1), num(5), out})), "5");
  EXPECT_EQ(show(call("fclose", {out})), "0");

  Handle in = call("fopen", {path("data"), bytes("rb")});
  Handle buffer = call("calloc", {num(1), num(16)});
  EXPECT_EQ(show(call("fread", {buffer, num(1), num(16), in})), "5");
  EXPECT_EQ(std::string(pointer(buffer), 5), kPayload);
  EXPECT_NE(value(call("feof", {in})), 0);
  EXPECT_EQ(show(call("rewind", {in})), "I");
  for (unsigned char b : kPayload) EXPECT_EQ(value(call("fgetc", {in})), b);
  EXPECT_EQ(show(call("fgetc", {in})), "01");

  EXPECT_EQ(show(call("fseek", {in, num(3), num(SEEK_SET)})), "0");
  EXPECT_EQ(show(call("ftell", {in})), "3");
  EXPECT_EQ(show(call("getc", {in})), "255");
  EXPECT_EQ(show(call("ungetc", {num('Q'), in})), std::to_string('Q'));
  EXPECT_EQ(show(call("getc", {in})), std::to_string('Q'));
  call("rewind", {in});
  EXPECT_EQ(show(call("ftell", {in})), "0");
  call("fclose", {in});
  call("free", {buffer});
}

// A text or byte string is never read past the bytes its cell holds: a larger count
// comes back short.
TEST_F(StreamsTest, CountedWritesOfCellDataStopAtTheCellsEnd) {
  Handle out = call("fopen", {path("short"), bytes("wb")});
  EXPECT_EQ(show(call("fwrite", {atom("[ab]"), num(1), num(100), out})), "4");
  EXPECT_EQ(show(call("fwrite", {bytes("xyz"), num(2), num(9), out})), "1");
  call("fclose", {out});
  EXPECT_EQ(std::filesystem::file_size(where("short")), 6u);
}

TEST_F(StreamsTest, LinesAndPositions) {
  Handle f = call("tmpfile");
  ASSERT_NE(value(f), 0);
  Handle line = call("strdup", {bytes("one\ntwo")});
  EXPECT_GE(value(call("fputs", {line, f})), 0);
  EXPECT_EQ(show(call("fputc", {num('!'), f})), std::to_string('!'));
  EXPECT_EQ(show(call("putc", {num('?'), f})), std::to_string('?'));
  EXPECT_EQ(show(call("fflush", {f})), "0");

  Handle position = call("malloc", {num(sizeof(std::fpos_t))});
  call("rewind", {f});
  EXPECT_EQ(show(call("fgetpos", {f, position})), "0");
  Handle buffer = call("malloc", {num(16)});
  EXPECT_EQ(value(call("fgets", {buffer, num(16), f})), value(buffer));
  EXPECT_STREQ(pointer(buffer), "one\n");
  EXPECT_EQ(value(call("fgets", {buffer, num(16), f})), value(buffer));
  EXPECT_STREQ(pointer(buffer), "two!?");
  EXPECT_EQ(show(call("fgets", {buffer, num(16), f})), "0");
  EXPECT_EQ(show(call("fsetpos", {f, position})), "0");
  EXPECT_EQ(show(call("fgetc", {f})), std::to_string('o'));
  EXPECT_EQ(show(call("ferror", {f})), "0");
  EXPECT_EQ(show(call("clearerr", {f})), "I");
  EXPECT_EQ(show(call("setbuf", {f, num(0)})), "I");
  call("fclose", {f});
  for (auto& h : {line, position, buffer}) call("free", {h});
}

TEST_F(StreamsTest, RemoveAndRename) {
  call("fclose", {call("fopen", {path("old"), bytes("w")})});
  EXPECT_EQ(show(call("rename", {path("old"), path("new")})), "0");
  errno = 0;
  EXPECT_EQ(show(call("fopen", {path("old"), bytes("r")})), "0");
  EXPECT_EQ(show(call("errno")), std::to_string(ENOENT));
  EXPECT_EQ(show(call("remove", {path("new")})), "0");
  EXPECT_EQ(show(call("remove", {path("new")})), "01");
}

TEST_F(StreamsTest, DescriptorsThroughAPipe) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  EXPECT_EQ(show(call("write", {num(ends[1]), bytes(kPayload), num(5)})), "5");
  EXPECT_EQ(show(call("write", {num(ends[1]), atom("[z]"), num(50)})), "3");
  Handle buffer = call("malloc", {num(8)});
  EXPECT_EQ(show(call("read", {num(ends[0]), buffer, num(8)})), "8");
  EXPECT_EQ(std::string(pointer(buffer), 8), std::string(kPayload) + "[z]");
  Handle in = call("fdopen", {num(ends[0]), bytes("r")});
  ASSERT_NE(value(in), 0);
  EXPECT_EQ(value(call("fileno", {in})), ends[0]);
  call("fclose", {in});
  close(ends[1]);
  call("free", {buffer});
}

// A text reaches the C library in its stored bracket form.
TEST_F(StreamsTest, StandardStreams) {
  EXPECT_EQ(value(call("stdout")), value(call("stdout")));
  EXPECT_EQ(pointer<std::FILE>(call("stdout")), stdout);
  EXPECT_EQ(pointer<std::FILE>(call("stderr")), stderr);

  ::testing::internal::CaptureStdout();
  EXPECT_GE(value(call("puts", {atom("[abc]")})), 0);
  EXPECT_EQ(show(call("putchar", {num('x')})), std::to_string('x'));
  EXPECT_GE(value(call("puts", {bytes(std::string("ab\0cd", 5))})), 0);
  call("fflush", {call("stdout")});
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "[abc]\nxab\n");

  ::testing::internal::CaptureStderr();
  errno = ENOENT;
  EXPECT_EQ(show(call("perror", {bytes("here")})), "I");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "here: No such file or directory\n");

  EXPECT_EQ(value(call("ungetc", {num('A'), address(stdin)})), 'A');
  EXPECT_EQ(value(call("getchar")), 'A');
}

TEST_F(StreamsTest, TemporaryNames) {
  Handle buffer = call("malloc", {num(L_tmpnam)});
  EXPECT_EQ(value(call("tmpnam", {buffer})), value(buffer));
  EXPECT_NE(std::string(pointer(buffer)), "");
  call("free", {buffer});
}

TEST_F(StreamsTest, WrongKindsGiveZ) {
  expectVoidArgumentsGiveZ(
      "clearerr fclose fdopen feof ferror fflush fgetc fgetpos fgets fileno fopen fputc fputs fread fseek "
      "fsetpos ftell fwrite getc perror putc putchar puts read remove rename rewind setbuf tmpnam ungetc "
      "write");
  struct {
    const char* name;
    std::initializer_list<Handle> args;
  } cases[] = {
      {"fputs", {atom("[abc]"), num(0)}},
      {"fread", {bytes("buffer"), num(1), num(1), num(0)}},
      {"fwrite", {atom("[x]"), num(1), num(1), atom("[stream]")}},
      {"fopen", {num(0), atom("00")}},
      {"puts", {numbers::realFromDouble(1.0)}},
  };
  for (auto& c : cases) EXPECT_EQ(show(call(c.name, c.args)), "Z") << c.name;
}

}  // namespace
}  // namespace library
