// The kind tags of `type`, handed out in their canonical shared form: the very cell
// that `tern` gives for an equal atom, so that `raws` finds them identical.
#include "library/kinds.h"

#include "library/language.h"

namespace library {

Handle typeImpl(Term x) {
  static const Handle tags[] = {cells::makeAtom("[post]"), cells::makeAtom("[real]"),
                                cells::makeAtom("[hint]"), cells::makeAtom("[numb]"),
                                cells::makeAtom("[zits]"), cells::makeAtom("[void]")};
  static constexpr std::string_view letters = "aeiouw";  // the kinds, in the order of the tags
  const Handle& tag = tags[letters.find(char(numbers::valueKind(x.cell)))];
  // Interning is installed by the layer above; without it (unit tests of this layer)
  // the process-wide tag is as shared as anything gets.
  auto intern = languageSeams().intern;
  return intern ? intern(tag) : tag;
}

}  // namespace library
