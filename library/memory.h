// Raw memory for programs: allocation, block operations, and loads and stores of 8,
// 16, 32 and 64 bits at an address. Addresses, sizes and values are integers; the
// memory behind an address is the program's and is not guarded.
#pragma once

#include "library/adapt.h"

namespace library {

Num mallocImpl(Int size);
Num callocImpl(Int count, Int size);
Num reallocImpl(Int address, Int size);
Void freeImpl(Int address);

Num memcpyImpl(Int destination, Int source, Int length);
Num memmoveImpl(Int destination, Int source, Int length);
Num memsetImpl(Int address, Int byte, Int length);
Num memcmpImpl(Int first, Int second, Int length);
Num memchrImpl(Int address, Int byte, Int length);
Void bzeroImpl(Int address, Int length);

UNum getxImpl(Int address);
Num getyImpl(Int address);
UNum gettImpl(Int address);
Num getvImpl(Int address);
UNum getuImpl(Int address);
Num getsImpl(Int address);
UNum getwImpl(Int address);
Num getzImpl(Int address);

Void setxImpl(Int address, Int value);
Void settImpl(Int address, Int value);
Void setuImpl(Int address, Int value);
Void setwImpl(Int address, Int value);

}  // namespace library
