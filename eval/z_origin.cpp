// The first built-in call that answered "Z", described for a hint.
#include "eval/z_origin.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "eval/rewrites.h"
#include "front/definitions.h"
#include "numbers/value_kind.h"

namespace eval {

namespace {

uint64_t& answers() {
  static uint64_t count = 0;
  return count;
}

std::optional<ZOrigin>& first() {
  static std::optional<ZOrigin> origin;
  return origin;
}

// The name of the definition whose table entry is `entry`.
std::optional<std::string> nameOf(const cells::Handle* entry) {
  if (!entry) return std::nullopt;
  for (const auto& [name, term] : front::definitions())
    if (&term == entry) return name;
  return std::nullopt;
}

}  // namespace

void noteZ(const cells::Cell* application) {
  if (answers()++ > 0) return;
  std::vector<const cells::Cell*> args;
  const cells::Cell* c = application;
  for (; cells::isPair(c) && !cells::isDataMarked(c); c = cells::leftOf(c)) args.push_back(cells::rightOf(c));
  std::reverse(args.begin(), args.end());
  ZOrigin z;
  z.builtin = cells::isAtom(c) ? std::string(cells::text(c)) : "?";
  for (const cells::Cell* a : args)
    z.kinds += (z.kinds.empty() ? "" : ", ") + std::string(numbers::kindName(numbers::valueKind(a)));
  if (std::optional<std::string> name = nameOf(lastEntered())) {
    z.definition = *name;
    z.inDefinition = true;
  }
  first() = std::move(z);
}

uint64_t zAnswers() { return answers(); }

const ZOrigin* firstZ() { return first() ? &*first() : nullptr; }

}  // namespace eval
