// The C runtime's buffered streams, its descriptor reads and writes, and removing
// and renaming files. A stream (FILE*) and a buffer travel as the numeral of their
// address; paths and modes as C strings.
#pragma once

#include "library/adapt.h"

namespace library {

Num fopenImpl(Text path, Text mode);
Num fdopenImpl(Int descriptor, Text mode);
Num fcloseImpl(Int stream);
Num fflushImpl(Int stream);
Num feofImpl(Int stream);
Num ferrorImpl(Int stream);
Void clearerrImpl(Int stream);
Num filenoImpl(Int stream);

Num fgetcImpl(Int stream);
Num getcImpl(Int stream);
Num getcharImpl();
Num ungetcImpl(Int byte, Int stream);
Num fgetsImpl(Int buffer, Int size, Int stream);
Num fputcImpl(Int byte, Int stream);
Num putcImpl(Int byte, Int stream);
Num putcharImpl(Int byte);
Num fputsImpl(Int string, Int stream);
Num putsImpl(Text string);
Void perrorImpl(Text prefix);
UNum freadImpl(Int buffer, Int size, Int count, Int stream);
Num fwriteImpl(Bytes data, Int size, Int count, Int stream);

Num fseekImpl(Int stream, Int offset, Int origin);
Num ftellImpl(Int stream);
Void rewindImpl(Int stream);
Num fgetposImpl(Int stream, Int position);
Num fsetposImpl(Int stream, Int position);
Void setbufImpl(Int stream, Int buffer);

Num tmpfileImpl();
Num tmpnamImpl(Int buffer);
Num removeImpl(Text path);
Num renameImpl(Text from, Text to);

Num readImpl(Int descriptor, Int buffer, Int count);
Num writeImpl(Int descriptor, Bytes data, Int count);

Num stdoutImpl();
Num stderrImpl();

}  // namespace library
