// The profile of a run by definition: the machine calls `enter` when it rewrites a
// call of a program definition and `unwind` as its frames fall, and every step, cell
// and nanosecond between two such events is charged to the definition running then.
// Definitions form a call tree: a node is the path of calls that led to it, and a
// definition called again from inside itself (recursion, at any distance) goes back
// to its own node, so that the tree stays as small as the program's call graph.
// A call's value is awaited at the frame depth where it was entered; when the
// frames fall below that depth, the caller runs again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cells/cell.h"
#include "library/builtin_table.h"

namespace eval {

// The profile's own memory, taken from the host outside the run's memory budget:
// profiling must not end with "Space" a run that would not end so otherwise.
template <class T>
struct UncountedAllocator {
  using value_type = T;
  UncountedAllocator() = default;
  template <class U>
  UncountedAllocator(const UncountedAllocator<U>&) {}  // NOLINT(google-explicit-constructor)
  T* allocate(std::size_t n) {
    void* p = std::malloc(n * sizeof(T));
    if (!p) cells::outOfMemory();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t) { std::free(p); }
  friend bool operator==(const UncountedAllocator&, const UncountedAllocator&) { return true; }
};
template <class T>
using UncountedVector = std::vector<T, UncountedAllocator<T>>;
template <class K, class V>
using UncountedMap =
    std::unordered_map<K, V, std::hash<K>, std::equal_to<K>, UncountedAllocator<std::pair<const K, V>>>;

class CallProfile {
 public:
  CallProfile();

  // A run starts: its steps are charged from here, to the main expression first.
  void start();
  // Charges what ran since the last event; called when a run ends.
  void stop();

  // A call of the program definition at `entry`, whose value is awaited at frame depth `depth`.
  void enter(const cells::Handle* entry, std::string_view name, std::size_t depth);
  // The frames fell to `depth`: the calls awaited above it are done.
  void unwind(std::size_t depth) {
    if (depth < awaited_.back().depth) [[unlikely]]
      returnTo(depth);
  }
  void countBuiltin(const library::BuiltinEntry* builtin);
  void countCombinator(unsigned char name) { ++combinatorCalls_[name]; }

  bool started() const { return started_; }
  unsigned long long totalSteps() const;
  // The table for a person: `all` lists prelude combinators and built-ins one by one.
  std::string table(bool all) const;
  // One line per call path with steps: "main;sort;insert 1234".
  std::string folded() const;

 private:
  struct Node {
    uint32_t parent = 0;
    uint32_t name = 0;   // into names_
    uint32_t level = 0;  // the root's is 0
    uint64_t steps = 0, calls = 0, builtins = 0, cells = 0, nanoseconds = 0;
  };
  struct Awaited {
    std::size_t depth;
    uint32_t node;
  };

  void charge();
  void returnTo(std::size_t depth);
  uint32_t nameOf(const cells::Handle* entry, std::string_view name);
  uint32_t childOf(uint32_t node, uint32_t name);
  std::vector<uint64_t> withCallees() const;
  std::string callLists(bool all) const;

  UncountedVector<Node> nodes_;
  std::vector<std::string> names_;  // as many as the program has definitions
  UncountedMap<const cells::Handle*, uint32_t> nameIds_;
  UncountedMap<uint64_t, uint32_t> children_;  // (node, name) -> node
  UncountedVector<Awaited> awaited_;           // as deep as the calls under way
  UncountedMap<const library::BuiltinEntry*, uint64_t> builtinCalls_;
  uint64_t combinatorCalls_[256] = {};
  uint64_t lastSteps_ = 0, lastCells_ = 0, lastNanoseconds_ = 0, startNanoseconds_ = 0, elapsed_ = 0;
  bool running_ = false, started_ = false;
};

CallProfile& callProfile();

}  // namespace eval
