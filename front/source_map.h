// Where things of the normalised program stand in the file a person wrote: built
// again from the file text only when a report needs it, so reading pays nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace front {

struct FilePlace {
  std::size_t offset = 0;  // bytes from the start of the file
  std::size_t line = 1;    // counting the "#!" line and every line feed of the file
  std::size_t column = 1;  // bytes from the start of the line, a tab as one
};

// One comma-separated item of the program: the main expression (name "") or a
// definition, by the name its head spells.
struct SourceItem {
  std::string name;
  std::size_t begin = 0;  // in the normalised text
  std::size_t end = 0;
};

// The name an item's head spells (`name\...`, or the unit form `name}\...`), or
// empty when it is no definition.
std::string itemHeadName(std::string_view item);

class SourceMap {
 public:
  // `firstLine` numbers the first line of `file` (0 when a line was put before the
  // text a person wrote).
  explicit SourceMap(std::string_view file, std::size_t firstLine = 1);

  FilePlace place(std::size_t fileOffset) const;
  // The file offset of a position in the normalised text.
  std::size_t fileOffset(std::size_t normalised) const;
  // The line of the file that holds `offset`, without its line feed.
  std::string_view lineAt(std::size_t offset) const;

  const std::string& normalised() const { return normalised_; }
  const std::vector<SourceItem>& items() const { return items_; }
  const SourceItem* item(std::string_view name) const;
  std::string_view file() const { return file_; }

 private:
  std::string_view file_;
  std::size_t firstLine_;
  std::vector<std::size_t> origins_;  // filled while normalised_ is made: declared first
  std::string normalised_;
  std::vector<SourceItem> items_;
};

}  // namespace front
