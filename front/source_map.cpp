// The map from the normalised program back to the file.
#include "front/source_map.h"

#include <algorithm>

#include "front/lexer.h"
#include "front/reader.h"

namespace front {

// The name an item's head spells: the text before its first "\", when that is a
// definable name (or a name applied to "}", the unit form).
std::string itemHeadName(std::string_view item) {
  std::size_t slash = item.find('\\');
  if (slash == std::string_view::npos) return {};
  std::string_view head = item.substr(0, slash);
  if (head.ends_with("}")) head.remove_suffix(1);
  return isDefinableName(head) ? canonicalName(head) : std::string();
}

SourceMap::SourceMap(std::string_view file, std::size_t firstLine)
    : file_(file), firstLine_(firstLine), normalised_(normaliseSource(file, &origins_)) {
  Scanner s(normalised_);
  std::vector<std::size_t> commas = s.topLevelSeparators(0, normalised_.size(), ",");
  commas.push_back(normalised_.size());
  std::size_t begin = 0;
  for (std::size_t i = 0; i < commas.size(); ++i) {
    std::size_t start = begin;
    while (start < commas[i] && normalised_[start] == ' ') ++start;
    std::string_view text = std::string_view(normalised_).substr(start, commas[i] - start);
    items_.push_back({i == 0 ? std::string() : itemHeadName(text), start, commas[i]});
    begin = commas[i] + 1;
  }
}

const SourceItem* SourceMap::item(std::string_view name) const {
  for (const SourceItem& it : items_)
    if (it.name == name && (!name.empty() || &it == &items_.front())) return &it;
  return nullptr;
}

std::size_t SourceMap::fileOffset(std::size_t normalised) const {
  if (origins_.empty()) return 0;
  if (normalised >= origins_.size()) return origins_.back() + 1;
  return origins_[normalised];
}

FilePlace SourceMap::place(std::size_t fileOffset) const {
  FilePlace p;
  p.line = firstLine_;
  p.offset = std::min(fileOffset, file_.size());
  for (std::size_t i = 0; i < p.offset; ++i) {
    if (file_[i] == '\n') {
      ++p.line;
      p.column = 1;
    } else {
      ++p.column;
    }
  }
  return p;
}

std::string_view SourceMap::lineAt(std::size_t offset) const {
  offset = std::min(offset, file_.size());
  std::size_t before = offset == 0 ? std::string_view::npos : file_.rfind('\n', offset - 1);
  std::size_t start = before == std::string_view::npos ? 0 : before + 1;
  std::size_t end = file_.find('\n', offset);
  if (end == std::string_view::npos) end = file_.size();
  return file_.substr(start, end - start);
}

}  // namespace front
