// Run-time compilation of program text. The table is changed entry by entry, never
// replaced as a whole, so entries the running program refers to stay where they are.
#include "compile/loader.h"

#include <set>
#include <string>

#include "compile/checks.h"
#include "compile/intern.h"
#include "compile/printer.h"
#include "front/definitions.h"
#include "front/reader.h"
#include "library/language.h"

namespace compile {

using cells::Handle;

// The names the loaded text defines, its main expression included; the built-ins
// get back the entries that the reader's placeholders replaced. False when the text
// redefines a name of the saved table.
// Decision: a loaded text cannot replace a definition of the running program, of the
// prelude or of an earlier load ("_" included); it may only add names.
static bool takeNewDefinitions(const front::SavedTables& saved, std::set<std::string>& names) {
  for (auto& [name, term] : front::definitions()) {
    auto old = saved.definitions.find(name);
    if (name.empty() || old == saved.definitions.end()) {
      names.insert(name);
    } else if (old->second.get() != term.get()) {
      if (!library::findBuiltin(name)) return false;
      term = old->second;
    }
  }
  return true;
}

Handle compileProgramText(std::string_view program) {
  front::SavedTables saved = front::saveTables();
  std::set<std::string> names;
  driver::Diagnostic d = front::readProgram(program);
  bool compiled = d.empty() && takeNewDefinitions(saved, names);
  if (compiled) {
    checkAndCompileNames(names, d);
    compiled = d.empty();
  }
  Handle main = compiled ? front::mainExpression() : Handle();
  if (!compiled) front::restoreTables(saved);
  front::restoreMainExpression(saved);
  return main;
}

void installLanguageSeams() {
  library::LanguageSeams& seams = library::languageSeams();
  seams.intern = &intern;
  seams.print = static_cast<std::string (*)(const cells::Cell*)>(&printTerm);
  seams.longestPrint = kLongestPrint;
  seams.compileText = &compileProgramText;
}

}  // namespace compile
