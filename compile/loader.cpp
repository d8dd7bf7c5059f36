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

// The table and the unit names as they were before a load.
struct SavedTables {
  front::Definitions definitions = front::definitions();
  std::set<std::string, std::less<>> units = front::unitDefinitions();

  // Drops the entries added since, and gives changed entries their old terms back.
  void restore() const {
    auto& table = front::definitions();
    for (auto it = table.begin(); it != table.end();) {
      auto old = definitions.find(it->first);
      if (old == definitions.end()) {
        it = table.erase(it);
        continue;
      }
      if (it->second.get() != old->second.get()) it->second = old->second;
      ++it;
    }
    front::unitDefinitions() = units;
  }
};

// The names the loaded text defines, its main expression included; the built-ins
// get back the entries that the reader's placeholders replaced. False when the text
// redefines a name of the saved table.
// Decision: a loaded text cannot replace a definition of the running program, of the
// prelude or of an earlier load ("_" included); it may only add names.
static bool takeNewDefinitions(const SavedTables& saved, std::set<std::string>& names) {
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

// Puts the running program's main expression back under the empty name.
static void restoreMain(const SavedTables& saved) {
  auto running = saved.definitions.find("");
  if (running == saved.definitions.end()) front::definitions().erase("");
  else front::definitions()[""] = running->second;
}

Handle compileProgramText(std::string_view program) {
  SavedTables saved;
  std::set<std::string> names;
  driver::Diagnostic d = front::readProgram(program);
  bool compiled = d.empty() && takeNewDefinitions(saved, names);
  if (compiled) {
    checkAndCompileNames(names, d);
    compiled = d.empty();
  }
  Handle main = compiled ? front::definitions()[""] : Handle();
  if (!compiled) saved.restore();
  restoreMain(saved);
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
