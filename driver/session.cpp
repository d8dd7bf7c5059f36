// The interactive session. The session holds only the texts of its definitions;
// every input is read, checked and run in a child process, over the whole session
// text, so a fault, exhausted memory or Ctrl-C ends that input and never the session,
// and a definition joins the session only once it compiles.
#include "driver/session.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "cells/convert.h"
#include "cells/ending.h"
#include "cells/stop_signals.h"
#include "compile/printer.h"
#include "driver/driver.h"
#include "driver/hints.h"
#include "driver/line_editor.h"
#include "driver/options.h"
#include "driver/phases.h"
#include "eval/observe.h"
#include "front/lexer.h"
#include "front/source_map.h"
#include "numbers/real.h"
#include "numbers/value_kind.h"

namespace driver {

using cells::ValueKind;

namespace {

constexpr std::string_view kHelp =
    "Type an expression to see its value, or a definition (name\\parameter\\body) to add it.\n"
    "An input with an open bracket, or ending in \\ or a comma, goes on on the next line.\n"
    "  :load FILE   add the definitions of a program file\n"
    "  :type EXPR   the kind of an expression's value\n"
    "  :profile EXPR  its value, then where its run spent its steps, by definition\n"
    "  :trace NAME  trace each call of NAME in the inputs that follow (again: stop); :trace lists them\n"
    "  :help        this text\n"
    "  :quit        leave (or Ctrl-D); Ctrl-C stops a running expression\n";

struct Definition {
  std::string name;
  std::string text;
};

enum class Run { check, show, kind, profile };

// The kind of a value for :type; "other" is spelt out.
std::string kindWord(ValueKind kind) {
  std::string name(numbers::kindName(kind));
  return name == "other" ? name + " (a function, a pair or a combinator term)" : name;
}

std::string trimmed(std::string_view s) {
  std::size_t b = s.find_first_not_of(" \t\n"), e = s.find_last_not_of(" \t\n");
  return b == std::string_view::npos ? std::string() : std::string(s.substr(b, e - b + 1));
}

// `name\...` with a name of more than one letter: `x\...` is a lambda.
bool isDefinition(std::string_view text) {
  std::string name = front::itemHeadName(text.substr(0, text.find(',')));
  return !name.empty() && !(name.size() == 1 && front::isNameChar(static_cast<unsigned char>(name[0])));
}

class Session {
 public:
  explicit Session(bool terminal) : terminal_(terminal) {}
  int run();

 private:
  std::optional<std::string> readLine(bool first);
  std::optional<std::string> readInput();
  void handle(const std::string& input);
  void addDefinitions(const std::string& text);
  void load(const std::string& path);
  void trace(const std::string& name);
  std::string definitionsText() const;
  int runChild(const std::string& program, std::size_t firstLine, Run run);

  std::vector<Definition> definitions_;
  bool terminal_;
  std::optional<LineEditor> editor_;  // on a terminal, when the editing library is there
};

std::optional<std::string> Session::readLine(bool first) {
  const char* prompt = first ? "vorl> " : "  ... ";
  if (editor_) return editor_->readLine(prompt);
  if (terminal_) {
    std::fputs(prompt, stdout);
    std::fflush(stdout);
  }
  // One byte at a time: a program run by an input may read the lines after it.
  std::string text;
  char c;
  ssize_t got;
  while ((got = ::read(STDIN_FILENO, &c, 1)) == 1 && c != '\n') text += c;
  if (got != 1 && text.empty()) return std::nullopt;
  return text;
}

// Lines until the input is whole; nothing at the end of the input.
std::optional<std::string> Session::readInput() {
  std::optional<std::string> line = readLine(true);
  if (!line) return std::nullopt;
  std::string input = *line;
  while (inputContinues(input)) {
    std::optional<std::string> more = readLine(false);
    if (!more) break;
    input += "\n" + *more;
  }
  if (editor_ && !trimmed(input).empty()) editor_->addHistory(input);
  return input;
}

std::string Session::definitionsText() const {
  std::string text;
  for (const Definition& d : definitions_) text += ",\n" + d.text;
  return text;
}

// Runs `program` in a child; gives its exit status, or 128 + the signal that ended it.
int Session::runChild(const std::string& program, std::size_t firstLine, Run run) {
  std::fflush(nullptr);
  pid_t child = ::fork();
  if (child < 0) {
    std::perror("vorl: fork");
    return 128;
  }
  if (child == 0) {
    ::signal(SIGINT, SIG_DFL);
    cells::watchStopSignals();
    if (run == Run::profile) {
      eval::observation().profile = true;
      cells::setEndingWriter(eval::writeObservations);
    }
    Diagnostic d;
    cells::Handle value = runSessionPhases(program, run != Run::check, d);
    int status = 0;
    if (!d.empty()) {
      status = errorReport(d, program, firstLine);
    } else if (run == Run::show || run == Run::profile) {
      std::string shown = shownValue(value.get()) + "\n";
      std::fwrite(shown.data(), 1, shown.size(), stdout);
    } else if (run == Run::kind) {
      std::printf("%s\n", kindWord(numbers::valueKind(value.get())).c_str());
    }
    std::fflush(stdout);
    eval::writeObservations();
    ::_exit(cells::finishOutput(status));
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

// Each named item of `text` joins the session when the whole text compiles with the
// session's definitions; a name already there is replaced, with a note.
void Session::addDefinitions(const std::string& text) {
  front::SourceMap map(text);
  std::vector<Definition> added;
  std::string uses = "0";
  for (const front::SourceItem& item : map.items()) {
    std::string itemText(map.normalised().substr(item.begin, item.end - item.begin));
    std::string name = front::itemHeadName(itemText);
    if (name.empty()) continue;
    added.push_back({name, itemText});
    uses += " (" + itemText.substr(0, itemText.find('\\')) + ")";
  }
  if (added.empty()) return;
  std::vector<Definition> kept;
  for (const Definition& d : definitions_) {
    bool replaced = false;
    for (const Definition& a : added) replaced |= a.name == d.name;
    if (!replaced) kept.push_back(d);
  }
  // The main expression names the new definitions, so that the checks reach them.
  std::string program = uses + ",\n" + text;
  for (const Definition& d : kept) program += ",\n" + d.text;
  if (runChild(program, 0, Run::check) != 0) return;
  for (const Definition& a : added)
    if (std::any_of(definitions_.begin(), definitions_.end(),
                    [&](const Definition& d) { return d.name == a.name; }))
      std::fprintf(stderr, "(`%s` redefined)\n", a.name.c_str());
  kept.insert(kept.end(), added.begin(), added.end());
  definitions_ = std::move(kept);
}

void Session::load(const std::string& path) {
  std::optional<std::string> program = readProgramFile(path.c_str());
  if (!program) {
    std::fprintf(stderr, "vorl: cannot read %s\n", path.c_str());
    return;
  }
  blankInterpreterLine(*program);
  front::SourceMap map(*program);
  std::string definitions;
  // The main expression is left out; a file may also begin with a definition.
  for (const front::SourceItem& item : map.items()) {
    std::string text = map.normalised().substr(item.begin, item.end - item.begin);
    if (isDefinition(text)) definitions += (definitions.empty() ? "" : ",\n") + text;
  }
  if (definitions.empty()) {
    std::fprintf(stderr, "vorl: %s has no definitions\n", path.c_str());
    return;
  }
  addDefinitions(definitions);
}

// Decision: `:trace NAME` turns the trace of NAME on, and again off; the session
// says which. The name need not be defined yet.
void Session::trace(const std::string& name) {
  std::vector<std::string>& traced = eval::observation().traced;
  if (name.empty()) {
    std::string list;
    for (const std::string& n : traced) list += " " + n;
    std::fprintf(stderr, "%s\n",
                 traced.empty() ? "(nothing traced; :trace NAME traces NAME)" : ("traced:" + list).c_str());
    return;
  }
  auto found = std::find(traced.begin(), traced.end(), name);
  bool on = found == traced.end();
  if (on) traced.push_back(name);
  else
    traced.erase(found);
  std::fprintf(stderr, "(%s `%s`)\n", on ? "tracing" : "no longer tracing", name.c_str());
}

void Session::handle(const std::string& input) {
  std::string text = trimmed(input);
  if (text.empty()) return;
  if (text == ":help") {
    std::fputs(std::string(kHelp).c_str(), stdout);
  } else if (text.starts_with(":load ")) {
    load(trimmed(text.substr(6)));
  } else if (text.starts_with(":type ")) {
    runChild(text.substr(6) + definitionsText(), 1, Run::kind);
  } else if (text.starts_with(":profile ")) {
    runChild(text.substr(9) + definitionsText(), 1, Run::profile);
  } else if (text == ":trace" || text.starts_with(":trace ")) {
    trace(trimmed(text.substr(6)));
  } else if (text.starts_with(":")) {
    std::fprintf(stderr, "vorl: unknown command %s (:help lists them)\n", text.c_str());
  } else if (isDefinition(text)) {
    addDefinitions(text);
  } else {
    int status = runChild(text + definitionsText(), 1, Run::show);
    if (status == 128 + SIGINT) std::fputs("Interrupted.\n", stderr);
  }
}

int Session::run() {
  ::signal(SIGINT, SIG_IGN);  // Ctrl-C stops the child running an input, not the session
  if (terminal_) {
    const char* home = std::getenv("HOME");
    editor_ = LineEditor::open(home ? std::string(home) + "/.vorl_history" : std::string());
    std::string version = versionText();
    std::printf("%s; :help for help, Ctrl-D to leave.\n", version.substr(0, version.size() - 1).c_str());
  }
  while (std::optional<std::string> input = readInput()) {
    if (trimmed(*input) == ":quit") break;
    handle(*input);
    std::fflush(nullptr);
  }
  if (terminal_) std::fputs("\n", stdout);
  return 0;
}

}  // namespace

bool inputContinues(std::string_view text) {
  std::vector<char> open;
  for (char c : text) {
    bool literal = !open.empty() && open.back() == '[';
    if (literal && c != '[' && c != ']') continue;
    if (c == '(' || c == '[' || c == '{') open.push_back(c);
    if (c == ')' || c == ']' || c == '}') {
      if (open.empty()) return false;  // the reader reports it
      open.pop_back();
    }
  }
  if (!open.empty()) return true;
  std::string last = trimmed(text);
  return !last.empty() && (last.back() == '\\' || last.back() == ',');
}

std::string shownValue(const cells::Cell* value) {
  switch (numbers::valueKind(value)) {
    case ValueKind::integer: {
      std::string t =
          cells::isAtom(value) ? std::string(cells::text(value)) : cells::numberSeams().streamText(value);
      return cells::isNegativeText(t) ? "-" + t.substr(1) : t;
    }
    case ValueKind::text: {
      std::string_view t = cells::text(value);
      return std::string(t.substr(1, t.size() - 2));
    }
    case ValueKind::real: {
      char shown[64];
      std::snprintf(shown, sizeof shown, "%.17g", numbers::doubleFromReal(value));
      return shown;
    }
    default: return compile::printTerm(value);
  }
}

int runSession() { return Session(isatty(STDIN_FILENO) == 1).run(); }

}  // namespace driver
