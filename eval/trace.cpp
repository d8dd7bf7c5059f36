// Trace lines.
#include "eval/trace.h"

#include <algorithm>
#include <cstdio>

#include "compile/printer.h"
#include "eval/engine.h"

namespace eval {

namespace {

constexpr std::size_t kColumns = 100;

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string oneLine(const std::string& text, std::size_t columns) {
  std::size_t characters = 0, cut = text.size();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isContinuationByte(text[i])) continue;
    if (characters == columns - 3) cut = i;
    ++characters;
  }
  std::string out = characters <= columns ? text : text.substr(0, cut) + "...";
  // A control byte (a line feed, an escape that a terminal would act on) shows as a space.
  std::replace_if(
      out.begin(), out.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, ' ');
  return out;
}

void CallTrace::setNames(const std::vector<std::string>& names) {
  names_ = names;
  chosen_.clear();
  open_.clear();
}

bool CallTrace::traces(const cells::Handle* entry, std::string_view name) {
  auto [found, added] = chosen_.try_emplace(entry, false);
  if (added) found->second = std::find(names_.begin(), names_.end(), name) != names_.end();
  return found->second;
}

void CallTrace::line(std::size_t level, const std::string& text) const {
  std::string prefix = "[" + std::to_string(level) + "] " + std::string(2 * (level - 1), ' ');
  std::string shown = oneLine(prefix + text, kColumns) + "\n";
  std::fwrite(shown.data(), 1, shown.size(), stderr);
}

void CallTrace::enter(std::string_view name, const std::vector<const cells::Cell*>& arguments,
                      std::size_t depth) {
  while (!open_.empty() && open_.back() > depth) open_.pop_back();
  if (open_.empty() || open_.back() != depth) open_.push_back(depth);
  std::string text(name);
  for (const cells::Cell* a : arguments) {
    if (text.size() > kColumns) break;
    text += " " + (a ? compile::printTerm(a, 2 * kColumns) : std::string("_"));
  }
  line(open_.size(), text);
}

void CallTrace::settle(std::size_t depth, cells::Cell* e) {
  while (!open_.empty() && open_.back() > depth) open_.pop_back();
  if (open_.empty() || open_.back() != depth || !isValue(e)) return;
  line(open_.size(), "= " + compile::printTerm(e, 2 * kColumns));
  open_.pop_back();
}

CallTrace& callTrace() {
  static auto* trace = new CallTrace;
  return *trace;
}

}  // namespace eval
