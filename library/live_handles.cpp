// The sets of live host handles.
#include "library/live_handles.h"

#include <cstdio>
#include <unordered_set>

namespace library {

namespace {
struct HandleSet {
  std::unordered_set<uintptr_t> live;
};
}  // namespace

static HandleSet& handles(HandleKind kind) {
  static HandleSet sets[3];
  static bool started = [] {
    // The standard streams are the program's from the start.
    for (std::FILE* s : {stdin, stdout, stderr}) sets[0].live.insert(reinterpret_cast<uintptr_t>(s));
    return true;
  }();
  (void)started;
  return sets[static_cast<int>(kind)];
}

void holdHandle(HandleKind kind, const void* handle) {
  if (handle) handles(kind).live.insert(reinterpret_cast<uintptr_t>(handle));
}

void dropHandle(HandleKind kind, const void* handle) {
  HandleSet& set = handles(kind);
  uintptr_t h = reinterpret_cast<uintptr_t>(handle);
  set.live.erase(h);
  if (lastLiveHandle[static_cast<int>(kind)] == h) lastLiveHandle[static_cast<int>(kind)] = 0;
}

bool isLiveHandleSlowly(HandleKind kind, const void* handle) {
  uintptr_t h = reinterpret_cast<uintptr_t>(handle);
  if (!handles(kind).live.contains(h)) return false;
  lastLiveHandle[static_cast<int>(kind)] = h;
  return true;
}

std::string_view handleName(HandleKind kind) {
  switch (kind) {
    case HandleKind::Stream: return "open stream";
    case HandleKind::Directory: return "open directory stream";
    case HandleKind::AddressRecord: return "address record from getaddrinfo";
  }
  return "handle";
}

}  // namespace library
