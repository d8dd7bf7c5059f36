// The definition checks, in their fixed order, over the whole definitions table.
// Each check stops at its first failure; definitions are visited in table order,
// so the main expression (the empty name) comes first.
#include "compile/checks.h"

#include <bit>
#include <map>
#include <set>
#include <vector>

#include "compile/intern.h"
#include "compile/passes.h"
#include "compile/printer.h"
#include "compile/trace_log.h"
#include "front/definitions.h"
#include "front/reader.h"
#include "terms/annotation.h"
#include "terms/shapes.h"

namespace compile {

using cells::Cell;
using driver::Diagnostic;
using driver::fail;

// ---- Host layout -------------------------------------------------------------

struct Field {
  const char* name;
  int width;
  int offset;
};
struct Record {
  const char* name;
  int size;
  std::vector<Field> fields;
};

// Platform: Linux x86-64 layouts. `addrinfo` is the C library's own record
// (ai_addrlen is a 4-byte socklen_t, ai_addr precedes ai_canonname); the directory
// entry and the socket set are records of this interpreter's own, of fixed size.
static const std::vector<Record>& hostRecords() {
  // A table aligned by hand.
  // clang-format off
  static const std::vector<Record> records = {
      {"addrinfo", 48,
       {{"ai_flags", 4, 0}, {"ai_family", 4, 4}, {"ai_socktype", 4, 8}, {"ai_protocol", 4, 12},
        {"ai_addrlen", 4, 16}, {"ai_addr", 8, 24}, {"ai_canonname", 8, 32}, {"ai_next", 8, 40}}},
      {"dirent", 296,
       {{"d_ino", 4, 0}, {"d_off", 4, 4}, {"d_namlen", 8, 16}, {"d_reclen", 2, 8}, {"d_type", 4, 24},
        {"d_name", 261, 28}}},
      {"fd_set", 520, {}},
      {"size_t", 8, {}},
      {"socklen_t", 4, {}},
      {"time_t", 8, {}},
  };
  // clang-format on
  return records;
}

// Decision: each field follows its record's header as "[" name "[" width "][" offset
// "]]"; gaps between fields are not written, the offsets tell them.
std::string hostLayoutText() {
  std::string out = "[";
  for (const Record& r : hostRecords()) {
    out += "[" + std::string(r.name) + "[[" + std::to_string(r.size) + "]]]";
    for (const Field& f : r.fields)
      out +=
          "[" + std::string(f.name) + "[" + std::to_string(f.width) + "][" + std::to_string(f.offset) + "]]";
  }
  return out + "]";
}

// ---- Helpers -------------------------------------------------------------------

static bool isKeyName(const Cell* key) {
  return cells::isAtom(key) && front::isDefinableName(cells::text(key));
}

// The first binder whose key is not a definable name: keys first, then parts left
// to right; an atom in function position is not searched.
static const Cell* firstFunkyBinder(const Cell* term) {
  std::vector<const Cell*> work{term};
  while (!work.empty()) {
    const Cell* c = work.back();
    work.pop_back();
    if (cells::isAtom(c)) continue;
    if ((terms::isLambda(c) || terms::isCurly(c)) && !isKeyName(terms::binderKey(c))) return c;
    if (terms::isCurly(c)) {
      work.insert(work.end(), {cells::rightOf(c), cells::rightOf(cells::leftOf(c))});
    } else if (terms::isLambda(c)) {
      work.push_back(cells::rightOf(c));
    } else {
      work.push_back(cells::rightOf(c));
      if (cells::isPair(cells::leftOf(c))) work.push_back(cells::leftOf(c));
    }
  }
  return nullptr;
}

static bool isReferenceName(std::string_view t) {
  if (t == "\\" || t == "{") return false;
  if (front::isOperatorName(t)) return true;
  // Decision: a single lowercase letter is a variable, left to the "Local" check.
  if (t.size() == 1 && t[0] >= 'a' && t[0] <= 'z') return false;
  return front::isDefinableName(t) && t[0] != '[';
}

// The global names a term refers to: name atoms not bound by an enclosing binder.
static std::set<std::string> referencedNames(const Cell* term) {
  std::set<std::string> names;
  std::map<std::string, int, std::less<>> bound;
  terms::walkScoped(
      term, [&](const Cell* key, int delta) { bound[std::string(cells::text(key))] += delta; },
      [&](const Cell* atom) {
        auto it = bound.find(cells::text(atom));
        if ((it == bound.end() || it->second == 0) && isReferenceName(cells::text(atom)))
          names.emplace(cells::text(atom));
      });
  return names;
}

// Binder keys at every depth: those starting with a lowercase letter, and others.
static std::pair<std::size_t, std::size_t> countKeys(const Cell* term) {
  std::size_t lower = 0, other = 0;
  terms::forEachBinder(term, [&](const Cell* c) {
    unsigned char first = cells::firstByte(terms::binderKey(c));
    (first >= 'a' && first <= 'z' ? lower : other) += 1;
  });
  return {lower, other};
}

// ---- The checks ------------------------------------------------------------------

// The definitions a run of the checks works on, in table order: the whole table for
// a program, the new entries for text loaded at run time.
using Selection = std::vector<front::Definitions::value_type*>;

static Selection selectAll() {
  Selection all;
  for (auto& entry : front::definitions()) all.push_back(&entry);
  return all;
}

static Selection selectNames(const std::set<std::string>& names) {
  Selection some;
  for (auto& entry : front::definitions())
    if (names.count(entry.first)) some.push_back(&entry);
  return some;
}

static bool checkFunky(const Selection& work, Diagnostic& d) {
  for (auto* entry : work) {
    auto& [name, term] = *entry;
    const Cell* hit = firstFunkyBinder(term.get());
    if (!hit) continue;
    std::string where = name.empty() ? "." : " in function " + name + ".";
    d.definition = name;
    return fail(d, "Funky", "Funky key in expression " + printTerm(hit) + where);
  }
  return true;
}

static bool checkAlive(Diagnostic& d) {
  auto& table = front::definitions();
  std::map<std::string, std::string> pending{{"", "nowhere"}};
  std::set<std::string> visited;
  while (!pending.empty()) {
    auto [name, referrer] = *pending.begin();
    pending.erase(pending.begin());
    visited.insert(name);
    auto it = table.find(name);
    if (it == table.end()) {
      std::string from = referrer.empty() ? "TOP" : referrer;
      d.definition = referrer;
      return fail(d, "Alive", "Alive function [" + from + "] references undefined [" + name + "].", name);
    }
    for (const std::string& used : referencedNames(it->second.get()))
      if (!visited.count(used)) pending[used] = name;
  }
  return true;
}

static bool checkPlace(const Selection& work, Diagnostic& d) {
  for (auto* entry : work) {
    auto& [name, term] = *entry;
    auto [lower, other] = countKeys(term.get());
    if (other != 0) appendTraceLine(kTraceLogPath, "First " + name + ": " + std::to_string(other));
    if (lower + other <= 26) continue;
    d.definition = name;
    return fail(d, "Place", name.empty() ? "Place error." : "Place error in function " + name + ".", name);
  }
  return true;
}

static constexpr int kMaxArity = 10;

// Arity, then places for each definition that passes.
static bool checkArityAndTranslate(const Selection& work, Diagnostic& d) {
  for (auto* entry : work) {
    auto& [name, term] = *entry;
    if (terms::leadingLambdas(term.get(), kMaxArity + 1) > kMaxArity) {
      d.definition = name;
      return fail(d, "Arity", "Arity of function " + name + " may not exceed ten.", name);
    }
    renameBinders(term);
  }
  return true;
}

static void internAll(const Selection& work) {
  for (auto* entry : work) entry->second = intern(entry->second);
}

static bool checkLocal(const Selection& work, Diagnostic& d) {
  for (auto* entry : work) {
    auto& [name, term] = *entry;
    uint32_t mask = terms::freeLetters(term.get());
    if (mask == 0) continue;
    std::string letter(1, char('a' + std::countr_zero(mask)));
    std::string where = name.empty() ? "." : " in function [" + name + "].";
    d.definition = name;
    return fail(d, "Local", "Local variable " + letter + " unbound" + where);
  }
  return true;
}

static void rewriteAll(const Selection& work, cells::Handle (*pass)(const cells::Handle&)) {
  for (auto* entry : work) entry->second = pass(entry->second);
}

// The passes and checks in their fixed order over `work`; "Alive" always walks from
// the main expression through the whole table.
static void compileSelection(const Selection& work, Diagnostic& d) {
  rewriteAll(work, quotePass);
  rewriteAll(work, pairPatternPass);
  if (!checkFunky(work, d) || !checkAlive(d) || !checkPlace(work, d) || !checkArityAndTranslate(work, d))
    return;
  internAll(work);
  checkLocal(work, d);
}

void checkAndCompile(Diagnostic& d) {
  d = Diagnostic{};
  front::define("_", cells::makeAtom(hostLayoutText()));
  clearInterned();
  compileSelection(selectAll(), d);
}

void checkAndCompileNames(const std::set<std::string>& names, Diagnostic& d) {
  d = Diagnostic{};
  compileSelection(selectNames(names), d);
}

}  // namespace compile
