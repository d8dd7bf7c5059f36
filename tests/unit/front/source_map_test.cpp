#include "front/source_map.h"

#include <gtest/gtest.h>

namespace front {
namespace {

// Every byte of the normalised text comes from a byte of the file that holds the
// same character (a kept white run from its first byte).
TEST(SourceMapTest, NormalisedBytesComeFromTheFile) {
  std::string file = "  main,\n\n  twice\\n\\ n * 2 ,\n\t[a  b]  x\\x\n";
  SourceMap map(file);
  const std::string& text = map.normalised();
  ASSERT_FALSE(text.empty());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char from = file[map.fileOffset(i)];
    if (text[i] == ' ' || text[i] == '\n') EXPECT_TRUE(from == ' ' || from == '\n' || from == '\t') << i;
    else
      EXPECT_EQ(text[i], from) << i;
  }
}

TEST(SourceMapTest, LinesAndColumnsCountTheFileAsWritten) {
  std::string file = "          \nx\\f 1,\n\tf\\n\\n+1";  // a blanked "#!" line first
  SourceMap map(file);
  struct {
    std::size_t offset, line, column;
  } cases[] = {{0, 1, 1}, {11, 2, 1}, {13, 2, 3}, {18, 3, 1}, {19, 3, 2}};
  for (auto c : cases) {
    FilePlace p = map.place(c.offset);
    EXPECT_EQ(p.line, c.line) << c.offset;
    EXPECT_EQ(p.column, c.column) << c.offset;
  }
  EXPECT_EQ(map.lineAt(19), "\tf\\n\\n+1");
  EXPECT_EQ(map.lineAt(17), "x\\f 1,");  // a line feed belongs to the line it ends
}

TEST(SourceMapTest, ItemsAreNamedByTheirHeads) {
  SourceMap map("x\\twice 3,\ntwice\\n\\n*2,\n[a note],\n[+]\\a\\b\\a");
  ASSERT_EQ(map.items().size(), 4u);
  EXPECT_EQ(map.items()[0].name, "");
  EXPECT_EQ(map.items()[1].name, "twice");
  EXPECT_EQ(map.items()[2].name, "");
  EXPECT_EQ(map.items()[3].name, "+");
  ASSERT_NE(map.item("twice"), nullptr);
  EXPECT_EQ(map.place(map.fileOffset(map.item("twice")->begin)).line, 2u);
  EXPECT_EQ(map.item(""), &map.items()[0]);  // the main expression, not a note
}

}  // namespace
}  // namespace front
