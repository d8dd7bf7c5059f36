// The kind tags of `type`, handed out in their canonical shared form: the very cell
// that `tern` gives for an equal atom, so that `raws` finds them identical.
#include "library/kinds.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "library/language.h"
#include "numbers/value_kind.h"

namespace library {

Handle typeImpl(Term x) {
  using cells::ValueKind;
  static constexpr ValueKind kKinds[] = {ValueKind::byteString, ValueKind::real, ValueKind::integer,
                                         ValueKind::numb,       ValueKind::text, ValueKind::other};
  static const auto tags = [] {
    std::array<Handle, std::size(kKinds)> made;
    for (std::size_t i = 0; i < made.size(); ++i) made[i] = cells::makeAtom(numbers::kindTag(kKinds[i]));
    return made;
  }();
  ValueKind kind = numbers::valueKind(x.cell);
  const Handle& tag = tags[std::find(std::begin(kKinds), std::end(kKinds), kind) - std::begin(kKinds)];
  // Interning is installed by the layer above; without it (unit tests of this layer)
  // the process-wide tag is as shared as anything gets.
  auto intern = languageSeams().intern;
  return intern ? intern(tag) : tag;
}

}  // namespace library
