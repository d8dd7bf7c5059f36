// The session's line editor, loaded with dlopen when a session starts on a terminal.
#include "driver/line_editor.h"

#include <dlfcn.h>

#include <cstdlib>

namespace driver {

namespace {

// Sets `f` to the library's function `name`; false when it has none.
template <typename F>
bool lookUp(void* library, const char* name, F& f) {
  f = reinterpret_cast<F>(::dlsym(library, name));
  return f != nullptr;
}

}  // namespace

// Decision: the library stays loaded once a session has started editing with it: the
// session edits until the process ends, and the terminal state it keeps lives there.
std::optional<LineEditor> LineEditor::open(std::string historyPath) {
  void* library = ::dlopen("libedit.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!library) library = ::dlopen("libedit.so", RTLD_NOW | RTLD_LOCAL);
  if (!library) return std::nullopt;
  Functions f;
  if (!lookUp(library, "readline", f.readline) || !lookUp(library, "add_history", f.add_history) ||
      !lookUp(library, "append_history", f.append_history) ||
      !lookUp(library, "using_history", f.using_history) ||
      !lookUp(library, "read_history", f.read_history)) {
    ::dlclose(library);
    return std::nullopt;
  }
  f.using_history();
  if (!historyPath.empty()) f.read_history(historyPath.c_str());
  return LineEditor(f, std::move(historyPath));
}

std::optional<std::string> LineEditor::readLine(const char* prompt) const {
  char* line = functions_.readline(prompt);
  if (!line) return std::nullopt;
  std::string text = line;
  std::free(line);
  return text;
}

void LineEditor::addHistory(const std::string& input) const {
  functions_.add_history(input.c_str());
  if (!historyPath_.empty()) functions_.append_history(1, historyPath_.c_str());
}

}  // namespace driver
