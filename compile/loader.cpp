// Run-time compilation of program text.
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

// The table and the unit names as they were before a load, put back when it fails.
struct SavedTables {
  front::Definitions definitions = front::definitions();
  std::set<std::string, std::less<>> units = front::unitDefinitions();
  void restore() {
    front::definitions() = definitions;
    front::unitDefinitions() = units;
  }
};

// Moves what the reader stored into the saved table: the main expression and the new
// names. False when the text redefines a name of the saved table.
// Decision: a loaded text cannot replace a definition of the running program, of the
// prelude or of an earlier load ("_" included); it may only add names.
static bool takeNewDefinitions(const SavedTables& saved, std::set<std::string>& names) {
  front::Definitions read = std::move(front::definitions());
  front::definitions() = saved.definitions;
  for (auto& [name, term] : read) {
    if (!name.empty() && library::findBuiltin(name)) continue;  // the reader's placeholders
    auto old = saved.definitions.find(name);
    if (!name.empty() && old != saved.definitions.end()) {
      if (old->second.get() != term.get()) return false;
      continue;
    }
    front::definitions()[name] = term;
    names.insert(name);
  }
  return true;
}

Handle compileProgramText(std::string_view program) {
  SavedTables saved;
  std::set<std::string> names;
  driver::Diagnostic d = front::readProgram(program);
  if (!d.empty() || !takeNewDefinitions(saved, names)) {
    saved.restore();
    return Handle();
  }
  checkAndCompileNames(names, d);
  Handle main = front::definitions()[""];
  auto runningMain = saved.definitions.find("");
  if (runningMain == saved.definitions.end()) front::definitions().erase("");
  else front::definitions()[""] = runningMain->second;
  if (!d.empty()) {
    saved.restore();
    return Handle();
  }
  return main;
}

void installLanguageSeams() {
  library::LanguageSeams& seams = library::languageSeams();
  seams.intern = &intern;
  seams.print = static_cast<std::string (*)(const cells::Cell*)>(&printTerm);
  seams.compileText = &compileProgramText;
}

}  // namespace compile
