// The call tree of a profiled run, and its two writings: the table and the folded stacks.
#include "eval/profile.h"

#include <time.h>

#include <algorithm>

#include "eval/engine.h"

namespace eval {

namespace {

// Beyond this many call paths, a new path is charged to its caller: a program
// whose paths multiply cannot make the profile grow without end.
constexpr std::size_t kMostNodes = std::size_t{1} << 20;
constexpr std::size_t kTopBuiltins = 10;

uint64_t nowNanoseconds() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return uint64_t(t.tv_sec) * 1000000000u + uint64_t(t.tv_nsec);
}

// 1234567 as "1,234,567".
std::string grouped(uint64_t n) {
  std::string digits = std::to_string(n), out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string percent(uint64_t part, uint64_t whole) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f%%", whole ? 100.0 * double(part) / double(whole) : 0.0);
  return text;
}

std::string seconds(uint64_t nanoseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", double(nanoseconds) / 1e9);
  return text;
}

// The cells of one row, right-aligned under their headings; the last one, a name, left-aligned.
struct Rows {
  std::vector<std::vector<std::string>> rows;
  std::string text() const {
    std::vector<std::size_t> widths;
    for (const auto& row : rows)
      for (std::size_t i = 0; i < row.size(); ++i) {
        if (widths.size() <= i) widths.push_back(0);
        widths[i] = std::max(widths[i], row[i].size());
      }
    std::string out;
    for (const auto& row : rows) {
      for (std::size_t i = 0; i + 1 < row.size(); ++i)
        out += std::string(widths[i] - row[i].size() + 2, ' ') + row[i];
      out += "  " + row.back() + "\n";
    }
    return out;
  }
};

// A name as one field of a folded line: the separators ';' and ' ' cannot appear in it.
std::string foldedName(std::string name) {
  std::replace(name.begin(), name.end(), ';', '_');
  std::replace(name.begin(), name.end(), ' ', '_');
  return name;
}

}  // namespace

CallProfile::CallProfile() {
  names_.push_back("main");
  nodes_.push_back(Node{});
  awaited_.push_back(Awaited{0, 0});
}

void CallProfile::start() {
  if (running_) return;
  awaited_.assign(1, Awaited{0, 0});
  lastSteps_ = stepCount();
  lastCells_ = cells::cellsMade();
  lastNanoseconds_ = startNanoseconds_ = nowNanoseconds();
  running_ = started_ = true;
}

void CallProfile::stop() {
  if (!running_) return;
  charge();
  elapsed_ += lastNanoseconds_ - startNanoseconds_;
  running_ = false;
}

void CallProfile::charge() {
  Node& n = nodes_[awaited_.back().node];
  uint64_t steps = stepCount(), made = cells::cellsMade(), now = nowNanoseconds();
  n.steps += steps - lastSteps_;
  n.cells += made - lastCells_;
  n.nanoseconds += now - lastNanoseconds_;
  lastSteps_ = steps;
  lastCells_ = made;
  lastNanoseconds_ = now;
}

uint32_t CallProfile::nameOf(const cells::Handle* entry, std::string_view name) {
  auto [found, added] = nameIds_.try_emplace(entry, uint32_t(names_.size()));
  if (added) names_.emplace_back(name);
  return found->second;
}

// The node of a call of `name` from `node`: the caller's own ancestor of that name
// when there is one (recursion), else a child.
uint32_t CallProfile::childOf(uint32_t node, uint32_t name) {
  uint64_t key = uint64_t(node) << 32 | name;
  if (auto found = children_.find(key); found != children_.end()) return found->second;
  uint32_t target = node;
  for (uint32_t up = node;; up = nodes_[up].parent) {
    if (up != 0 && nodes_[up].name == name) {
      target = up;
      break;
    }
    if (up == 0) {
      if (nodes_.size() < kMostNodes) {
        target = uint32_t(nodes_.size());
        nodes_.push_back(Node{node, name, nodes_[node].level + 1});
      }
      break;
    }
  }
  children_.emplace(key, target);
  return target;
}

// Calls awaited at the same depth are tail calls of one another: a call that goes
// back to an ancestor of them ends the ones below that ancestor in the tree, so a
// loop of tail calls keeps a bounded record.
void CallProfile::enter(const cells::Handle* entry, std::string_view name, std::size_t depth) {
  charge();
  uint32_t target = childOf(awaited_.back().node, nameOf(entry, name));
  ++nodes_[target].calls;
  while (awaited_.size() > 1 && awaited_.back().depth > depth) awaited_.pop_back();
  while (awaited_.size() > 1 && awaited_.back().depth == depth &&
         nodes_[awaited_.back().node].level > nodes_[target].level)
    awaited_.pop_back();
  if (awaited_.back().depth != depth || awaited_.back().node != target) awaited_.push_back({depth, target});
}

void CallProfile::returnTo(std::size_t depth) {
  charge();
  while (awaited_.size() > 1 && awaited_.back().depth > depth) awaited_.pop_back();
}

void CallProfile::countBuiltin(const library::BuiltinEntry* builtin) {
  ++nodes_[awaited_.back().node].builtins;
  ++builtinCalls_[builtin];
}

unsigned long long CallProfile::totalSteps() const {
  unsigned long long total = 0;
  for (const Node& n : nodes_) total += n.steps;
  return total;
}

// The steps of each name with its callees: a node's steps count once for every name
// on its path (a path names each definition at most once).
std::vector<uint64_t> CallProfile::withCallees() const {
  std::vector<uint64_t> steps(names_.size());
  for (std::size_t i = 0; i < nodes_.size(); ++i)
    for (uint32_t up = uint32_t(i);; up = nodes_[up].parent) {
      steps[nodes_[up].name] += nodes_[i].steps;
      if (up == 0) break;
    }
  return steps;
}

std::string CallProfile::table(bool all) const {
  struct Totals {
    uint64_t steps = 0, calls = 0, builtins = 0, cells = 0, nanoseconds = 0;
  };
  std::vector<Totals> byName(names_.size());
  Totals run;
  for (const Node& n : nodes_) {
    Totals& t = byName[n.name];
    t.steps += n.steps, t.calls += n.calls, t.builtins += n.builtins, t.cells += n.cells;
    t.nanoseconds += n.nanoseconds;
    run.steps += n.steps, run.calls += n.calls, run.builtins += n.builtins, run.nanoseconds += n.nanoseconds;
  }
  std::vector<uint64_t> inclusive = withCallees();
  std::vector<uint32_t> order(names_.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return byName[a].steps > byName[b].steps; });

  std::string out = "profile: " + grouped(run.steps) + " steps, " + grouped(run.calls) + " calls of " +
                    grouped(names_.size() - 1) + (names_.size() == 2 ? " definition, " : " definitions, ") +
                    grouped(run.builtins) + " built-in calls, " + seconds(elapsed_) + "\n";
  Rows definitions;
  definitions.rows.push_back(
      {"self steps", "self", "with callees", "calls", "built-ins", "cells", "time", "name"});
  for (uint32_t i : order) {
    const Totals& t = byName[i];
    definitions.rows.push_back(
        {grouped(t.steps), percent(t.steps, run.steps), percent(inclusive[i], run.steps),
         i == 0 ? "-" : grouped(t.calls), grouped(t.builtins), grouped(t.cells),
         percent(t.nanoseconds, run.nanoseconds), i == 0 ? "(main expression)" : names_[i]});
  }
  return out + definitions.text() + callLists(all);
}

// Beneath the definitions: the prelude combinators' calls, and the built-ins by calls.
std::string CallProfile::callLists(bool all) const {
  std::vector<std::pair<uint64_t, std::string>> combinators, builtins;
  uint64_t combinatorTotal = 0;
  for (int c = 0; c < 256; ++c)
    if (combinatorCalls_[c]) {
      combinators.emplace_back(combinatorCalls_[c], std::string(1, char(c)));
      combinatorTotal += combinatorCalls_[c];
    }
  for (const auto& [name, entry] : library::builtinTable())
    if (auto found = builtinCalls_.find(&entry); found != builtinCalls_.end())
      builtins.emplace_back(found->second, name);
  auto byCalls = [](const auto& a, const auto& b) {
    return a.first > b.first || (a.first == b.first && a.second < b.second);
  };
  std::sort(combinators.begin(), combinators.end(), byCalls);
  std::sort(builtins.begin(), builtins.end(), byCalls);

  std::string out = "prelude combinators: " + grouped(combinatorTotal) +
                    " calls (their steps count in the definition that calls them)\n";
  if (all) {
    Rows rows;
    for (const auto& [calls, name] : combinators) rows.rows.push_back({grouped(calls), name});
    out += rows.text();
  }
  std::size_t shown = all ? builtins.size() : std::min(builtins.size(), kTopBuiltins);
  out += "built-ins by calls" +
         std::string(shown < builtins.size()
                         ? " (the top " + std::to_string(shown) + "; --profile=all lists every one)"
                         : "") +
         ":\n";
  Rows rows;
  for (std::size_t i = 0; i < shown; ++i)
    rows.rows.push_back({grouped(builtins[i].first), builtins[i].second});
  return out + rows.text();
}

std::string CallProfile::folded() const {
  std::string out;
  std::vector<uint32_t> path;
  for (std::size_t i = 0; i < nodes_.size(); ++i) {
    if (nodes_[i].steps == 0) continue;
    path.clear();
    for (uint32_t up = uint32_t(i);; up = nodes_[up].parent) {
      path.push_back(up);
      if (up == 0) break;
    }
    for (std::size_t j = path.size(); j-- > 0;)
      out += foldedName(names_[nodes_[path[j]].name]) + (j ? ";" : "");
    out += " " + std::to_string(nodes_[i].steps) + "\n";
  }
  return out;
}

CallProfile& callProfile() {
  static auto* profile = new CallProfile;  // written at exit, from wherever the run ends
  return *profile;
}

}  // namespace eval
