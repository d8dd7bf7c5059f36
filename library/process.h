// Clock and calendar, environment, process control, the language's assertion, the C
// error number and the error-number constants. Time values and calendar records are
// reached by address; results that the C library keeps are given as addresses.
#pragma once

#include "library/adapt.h"

namespace library {

Num timeImpl(Int address);
Num ctimeImpl(Int address);
Num gmtimeImpl(Int address);
Num localtimeImpl(Int address);
Num mktimeImpl(Int record);
Num asctimeImpl(Int record);
RealResult difftimeImpl(Int end, Int start);
UNum strftimeImpl(Int buffer, Int size, Text format, Int record);
Num time_tImpl();

Num getenvImpl(Text name);
Num systemImpl(Text command);
Void exitImpl(Int status);
Void abortImpl();
Num raiseImpl(Int signal);
Handle assertImpl(Term truth);

Num errnoImpl();
Num eintrImpl();
Num eioImpl();
Num enxioImpl();
Num ebadfImpl();
Num enomemImpl();
Num eaccesImpl();
Num efaultImpl();
Num enodevImpl();
Num einvalImpl();
Num enfileImpl();
Num emfileImpl();
Num econnabortedImpl();
Num enotsockImpl();
Num eopnotsuppImpl();
Num eoverflowImpl();
Num ewouldblockImpl();

}  // namespace library
