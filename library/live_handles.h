// The host objects that the program holds by address: C streams, directory streams
// and address records. Each kind keeps the set of those that a built-in handed out
// and that are not yet closed or freed, so that a built-in given any other integer
// where it needs one can refuse it instead of letting the C library read or free
// memory that is no such object (`fclose(malloc(16))`, a second `fclose`).
#pragma once

#include <cstdint>
#include <string_view>

namespace library {

enum class HandleKind : uint8_t { Stream, Directory, AddressRecord };

// Records a handle that a built-in just handed out (null is ignored).
void holdHandle(HandleKind kind, const void* handle);
// Forgets a handle that is being closed or freed.
void dropHandle(HandleKind kind, const void* handle);
bool isLiveHandleSlowly(HandleKind kind, const void* handle);

// The handle of each kind found live last: a loop reads one stream a byte at a time,
// and finds it here with no call and no hashing.
inline uintptr_t lastLiveHandle[3] = {};
inline bool isLiveHandle(HandleKind kind, const void* handle) {
  uintptr_t h = reinterpret_cast<uintptr_t>(handle);
  if (h != 0 && h == lastLiveHandle[static_cast<int>(kind)]) return true;
  return isLiveHandleSlowly(kind, handle);
}

// What a report calls a handle of the kind ("open stream").
std::string_view handleName(HandleKind kind);

}  // namespace library
