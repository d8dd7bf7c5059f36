// Kind tags, made once and shared, so equal tags are the very same cell.
#include "library/kinds.h"

namespace library {

Handle typeImpl(Term x) {
  static const Handle tags[] = {cells::makeAtom("[post]"), cells::makeAtom("[real]"),
                                cells::makeAtom("[hint]"), cells::makeAtom("[numb]"),
                                cells::makeAtom("[zits]"), cells::makeAtom("[void]")};
  static constexpr std::string_view letters = "aeiouw";
  return tags[letters.find(numbers::value_kind(x.cell))];
}

}  // namespace library
