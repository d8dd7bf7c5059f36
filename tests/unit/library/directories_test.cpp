#include "library/directories.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "call_builtin.h"

namespace library {
namespace {

using namespace library::testing;

// One entry record, read field by field with the load built-ins.
struct Entry {
  std::string name;
  uint64_t namlen, type, reclen, off, ino;
};

static Entry readRecord(const Handle& record) {
  int64_t at = value(record);
  auto field = [&](const char* load, int64_t offset) {
    return uint64_t(value(call(load, {num(at + offset)})));
  };
  return Entry{pointer(record) + 28, field("getw", 16), field("getu", 24),
               field("gett", 8),     field("getu", 4),  field("getu", 0)};
}

// Every entry of a directory, in the order `readdir` gives them; the stream is
// closed afterwards, and two more reads past the end must each give "0".
static std::vector<Entry> listing(const std::string& path) {
  std::vector<Entry> entries;
  Handle stream = call("opendir", {bytes(path)});
  EXPECT_NE(value(stream), 0) << path;
  if (value(stream) == 0) return entries;
  for (Handle r; value(r = call("readdir", {stream})) != 0;) {
    EXPECT_EQ(value(r), value(stream));
    entries.push_back(readRecord(r));
  }
  EXPECT_EQ(show(call("readdir", {stream})), "0");
  EXPECT_EQ(show(call("closedir", {stream})), "0");
  return entries;
}

class DirectoriesTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    char pattern[] = "/tmp/vorl-directories-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::filesystem::remove_all(folder_);
    LibraryTest::TearDown();
  }
  std::string folder_;
};

TEST_F(DirectoriesTest, NameHash) {
  struct {
    std::string name;
    uint32_t hash;
  } cases[] = {
      {"", 5381},
      {"a", 177670},
      {"..", 5861473},
      {"zzzzzzz", 1484429563},  // the 32-bit sum has its top bit set: only 31 bits are kept
      {std::string(260, 'x'), 2111603557},
      {std::string(300, 'x'), 2111603557},  // bytes past the 260th do not count
  };
  for (auto& c : cases) EXPECT_EQ(directoryNameHash(c.name.c_str()), c.hash) << c.name.size();
}

TEST_F(DirectoriesTest, ListsEveryEntryWithItsRecord) {
  std::ofstream(folder_ + "/alpha") << "a";
  std::ofstream(folder_ + "/beta.txt") << "bb";
  ASSERT_EQ(mkdir((folder_ + "/sub").c_str(), 0700), 0);
  const std::map<std::string, uint64_t> expected{
      {".", 0x4000}, {"..", 0x4000}, {"alpha", 0x8000}, {"beta.txt", 0x8000}, {"sub", 0x4000}};

  for (const std::string& path : {folder_, folder_ + "/"}) {
    std::vector<Entry> entries = listing(path);
    ASSERT_EQ(entries.size(), expected.size()) << path;
    std::map<std::string, uint64_t> seen;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const Entry& e = entries[i];
      seen[e.name] = e.type;
      EXPECT_EQ(e.namlen, e.name.size());
      EXPECT_EQ(e.reclen, 296u);
      EXPECT_EQ(e.ino, 0u);
      uint64_t next = i + 1 < entries.size() ? directoryNameHash(entries[i + 1].name.c_str()) : 0x7FFFFFFF;
      EXPECT_EQ(e.off, next) << e.name;
    }
    EXPECT_EQ(seen, expected) << path;
  }
}

TEST_F(DirectoriesTest, LinksAndDevicesHaveTheirOwnTypes) {
  ASSERT_EQ(symlink("alpha", (folder_ + "/link").c_str()), 0);
  struct {
    std::string folder, name;
    uint64_t type;
  } cases[] = {{folder_, "link", 0xC000}, {"/dev", "null", 0x2000}};
  for (auto& c : cases) {
    uint64_t type = 1;
    for (const Entry& e : listing(c.folder))
      if (e.name == c.name) type = e.type;
    EXPECT_EQ(type, c.type) << c.folder << "/" << c.name;
  }
}

TEST_F(DirectoriesTest, Failures) {
  std::ofstream(folder_ + "/plain") << "x";
  struct {
    const char* name;
    Handle argument;
    const char* result;
    int error;
  } cases[] = {
      {"opendir", bytes(""), "0", ENOENT},
      {"opendir", num(0), "Z", 0},  // the address 0 is no C string
      {"opendir", bytes(folder_ + "/plain"), "0", ENOTDIR},
      {"opendir", bytes(folder_ + "/absent"), "0", ENOENT},
      {"closedir", num(0), "01", EBADF},
      {"readdir", num(0), "0", EBADF},
  };
  for (auto& c : cases) {
    errno = 0;
    EXPECT_EQ(show(call(c.name, {c.argument})), c.result) << c.name;
    EXPECT_EQ(show(call("errno")), std::to_string(c.error)) << c.name;
  }
  EXPECT_EQ(show(call("dirent")), "296");
}

// A closed stream, or a block that merely looks like one, is never read or freed.
TEST_F(DirectoriesTest, OnlyOpenStreamsAreUsed) {
  Handle stream = call("opendir", {bytes(folder_)});
  EXPECT_EQ(show(call("closedir", {stream})), "0");
  Handle block = call("calloc", {num(1), num(400)});
  for (Handle h : {stream, block})
    for (const char* name : {"readdir", "closedir"}) {
      errno = 0;
      EXPECT_EQ(value(call(name, {h})), std::string_view(name) == "readdir" ? 0 : -1) << name;
      EXPECT_EQ(errno, EBADF) << name;
    }
  call("free", {block});
}

TEST_F(DirectoriesTest, WrongKindsGiveZ) {
  expectVoidArgumentsGiveZ("closedir opendir readdir");
  EXPECT_EQ(show(call("opendir", {numbers::realFromDouble(1.0)})), "Z");
  EXPECT_EQ(show(call("readdir", {atom("[0]")})), "Z");
  EXPECT_EQ(show(call("closedir", {bytes("x")})), "Z");
}

}  // namespace
}  // namespace library
