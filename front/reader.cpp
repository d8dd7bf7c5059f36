// Reading a program file into the definitions table.
#include "front/reader.h"

#include "cells/common_atoms.h"
#include "front/bracket_matcher.h"
#include "front/definitions.h"
#include "front/lexer.h"
#include "front/parser.h"
#include "library/builtin_table.h"

namespace front {

using cells::Handle;

bool isDefinableName(std::string_view name) {
  if (name.empty()) return false;
  if (name.size() == 3 && name[0] == '[' && name[2] == ']') return isOperatorName(name.substr(1, 1));
  if (name.size() == 1) {
    auto c = static_cast<unsigned char>(name[0]);
    if ((c >= 'A' && c <= 'Z') || (c >= 1 && c <= 31) || c >= 127) return true;
  }
  for (char c : name)
    if (!isNameChar(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string canonicalName(std::string_view name) {
  if (name.size() == 3 && name[0] == '[' && name[2] == ']' && isDefinableName(name))
    return std::string(1, name[1]);
  return std::string(name);
}

// (\ a (\ b ... (\ x Z))) with one parameter per argument; "Z" for arity 0.
static Handle placeholderTerm(unsigned arity) {
  Handle term = cells::common(cells::Common::Z);
  for (unsigned i = arity; i-- > 0;)
    term = cells::makePair(cells::makeAtom("\\"), cells::makeAtom(std::string(1, char('a' + i))),
                           std::move(term));
  return term;
}

// One item after a comma: a definition (\ H R) whose head H is a name (plain form)
// or a name applied to "}" (unit form). Anything else is skipped silently.
static bool readItem(Handle item, std::size_t position, driver::Diagnostic& d) {
  if (!item.isPair() || !item.left().isPair() || !cells::isAtomText(item.left().left().get(), "\\"))
    return true;
  Handle head = item.left().right();
  bool unit = head.isPair();
  if (unit && (head.left().isPair() || !cells::isAtomText(head.right().get(), "}"))) return true;
  std::string_view written = unit ? head.left().text() : head.text();
  if (!isDefinableName(written)) return true;
  std::string name = canonicalName(written);
  if (name.size() == 1 && isNameChar(static_cast<unsigned char>(name[0])))
    return driver::fail(d, "Lower",
                        "Single lowercase letters (" + name + ") cannot be defined as global variables.", {},
                        int64_t(position));
  if (name == "\\" || name == "{") return true;
  if (library::findBuiltin(name))
    return driver::fail(d, "Built", "Built in function [" + name + "] cannot be re-defined.", {},
                        int64_t(position));
  defineRead(name, item.right(), unit);
  return true;
}

driver::Diagnostic readProgram(std::string_view text) {
  driver::Diagnostic d;
  if (!checkBrackets(text, d)) return d;
  for (auto& [name, entry] : library::builtinTable()) define(name, placeholderTerm(entry.arity));
  Scanner s(normaliseSource(text));
  std::size_t end = s.text().size();
  std::vector<std::size_t> commas = s.topLevelSeparators(0, end, ",");
  setMainExpression(parseExpression(s, 0, commas.empty() ? end : commas.front()));
  for (std::size_t i = 0; i < commas.size(); ++i) {
    std::size_t itemEnd = i + 1 < commas.size() ? commas[i + 1] : end;
    std::size_t position = commas[i] + 1;
    while (position < itemEnd && s.at(position) == ' ') ++position;
    if (!readItem(parseExpression(s, commas[i] + 1, itemEnd), position, d)) break;
  }
  return d;
}

}  // namespace front
