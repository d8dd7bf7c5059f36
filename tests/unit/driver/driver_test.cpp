#include "driver/driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

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

}  // namespace
}  // namespace driver
