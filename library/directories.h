// Listing a directory: `opendir`, `readdir`, `closedir` and the entry record's size.
// A stream is the numeral of its address, which is also the address of the entry
// record that each `readdir` fills (the layout is in directories.cpp).
#pragma once

#include "library/adapt.h"

namespace library {

Num opendirImpl(Text path);
Num readdirImpl(Int stream);
Num closedirImpl(Int stream);
Num direntImpl();

// The position cookie of a name, as `d_off` gives it for the entry after the current
// one: h = 5381, then h = h * 33 + byte for each byte up to the NUL (at most 260) in
// 32-bit arithmetic; the low 31 bits of h.
uint32_t directoryNameHash(const char* name);

}  // namespace library
