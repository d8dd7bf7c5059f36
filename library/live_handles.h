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
bool isLiveHandle(HandleKind kind, const void* handle);

// What a report calls a handle of the kind ("open stream").
std::string_view handleName(HandleKind kind);

}  // namespace library
