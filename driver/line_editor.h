// Line editing and history for the interactive session on a terminal. The editing
// library is loaded when a session starts, not linked: a program run never maps it,
// nor the terminal and BSD libraries it pulls in.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace driver {

class LineEditor {
 public:
  // The editor, with the history of `historyPath` read in (no history file when it is
  // empty); nothing when the library or one of its functions is missing.
  static std::optional<LineEditor> open(std::string historyPath);

  // The line typed after `prompt`, without its newline; nothing at the end of the input.
  std::optional<std::string> readLine(const char* prompt) const;

  // Makes `input` recallable, and appends it to the history file.
  void addHistory(const std::string& input) const;

 private:
  // The library's functions, declared by hand so that no header of it is needed to build.
  struct Functions {
    char* (*readline)(const char*);
    int (*add_history)(const char*);
    int (*append_history)(int, const char*);
    void (*using_history)();
    int (*read_history)(const char*);
  };

  LineEditor(const Functions& functions, std::string historyPath)
      : functions_(functions), historyPath_(std::move(historyPath)) {}

  Functions functions_;
  std::string historyPath_;
};

}  // namespace driver
