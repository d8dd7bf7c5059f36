// The trace of chosen definitions' calls: each call printed on standard error when
// the machine enters it, with its depth among the traced calls under way and its
// arguments as the printer writes them, and then its value when the machine has one
// (the value that reaches the frame depth where the call was entered). A call in
// tail position (entered at the depth of a traced call still under way) takes that
// call's place: both have the same value, printed once.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "cells/cell.h"
#include "eval/profile.h"

namespace eval {

class CallTrace {
 public:
  // The names to trace, for a run that starts; an empty list traces nothing.
  void setNames(const std::vector<std::string>& names);
  bool active() const { return !names_.empty(); }

  // A call of the definition at `entry` named `name`, awaited at frame depth `depth`.
  bool traces(const cells::Handle* entry, std::string_view name);
  void enter(std::string_view name, const std::vector<const cells::Cell*>& arguments, std::size_t depth);
  // The machine holds `e` at frame depth `depth`: a traced call awaited there has
  // its value when `e` is one; calls awaited deeper ended without one.
  void at(std::size_t depth, cells::Cell* e) {
    if (!open_.empty() && depth <= open_.back()) [[unlikely]]
      settle(depth, e);
  }

 private:
  void settle(std::size_t depth, cells::Cell* e);
  void line(std::size_t level, const std::string& text) const;

  std::vector<std::string> names_;
  UncountedMap<const cells::Handle*, bool> chosen_;
  UncountedVector<std::size_t> open_;  // the frame depths of the traced calls under way
};

CallTrace& callTrace();

// `text` cut to at most `columns` characters, "..." marking a cut, on one line: its
// control bytes shown as spaces.
std::string oneLine(const std::string& text, std::size_t columns);

}  // namespace eval
