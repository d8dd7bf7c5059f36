#include "driver/options.h"

#include <gtest/gtest.h>

#include <vector>

namespace driver {
namespace {

Options parse(std::vector<std::string> words) {
  words.insert(words.begin(), "vorl");
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  return parseOptions(int(words.size()), argv.data());
}

TEST(OptionsTest, TheProgramAndItsArgumentWords) {
  struct {
    std::vector<std::string> words;
    std::optional<std::string> file, text;
    int arguments;
  } cases[] = {
      {{"p.vorl", "a", "--help"}, "p.vorl", {}, 2},  // after the file every word is the program's
      {{"-", "a"}, "-", {}, 2},
      {{"--", "--help", "a"}, "--help", {}, 3},
      {{"-e", "x\\1", "-e", "b"}, {}, "x\\1", 3},
      {{"--hints", "--max-memory=4M", "p.vorl"}, "p.vorl", {}, 4},
      {{}, {}, {}, 1},
  };
  for (auto& c : cases) {
    Options o = parse(c.words);
    EXPECT_EQ(o.file, c.file) << c.words.size();
    EXPECT_EQ(o.text, c.text) << c.words.size();
    EXPECT_EQ(o.arguments, c.arguments) << c.words.size();
    EXPECT_EQ(o.unknown, "");
  }
}

TEST(OptionsTest, SettingsHelpAndUnknownOptions) {
  Options o = parse({"--no-hints", "--max-memory=256M", "p.vorl"});
  EXPECT_EQ(o.hints, false);
  EXPECT_EQ(o.maxMemory, "256M");
  EXPECT_TRUE(parse({"--help", "--bogus"}).help);
  EXPECT_TRUE(parse({"--version"}).version);
  EXPECT_EQ(parse({"--bogus", "p.vorl"}).unknown, "--bogus");
  EXPECT_EQ(parse({"-e"}).unknown, "-e");
  EXPECT_EQ(parse({"-x"}).unknown, "-x");
}

}  // namespace
}  // namespace driver
