// The C runtime's buffered streams, its descriptor reads and writes, and removing
// and renaming files. A stream (FILE*) and a buffer travel as the numeral of their
// address (a stream that is not open is the wrong kind); paths and modes as C
// strings.
#pragma once

#include "library/adapt.h"

namespace library {

Num fopenImpl(Text path, Text mode);
Num fdopenImpl(Int descriptor, Text mode);
Num fcloseImpl(Stream stream);
Num fflushImpl(Stream stream);
Num feofImpl(Stream stream);
Num ferrorImpl(Stream stream);
Void clearerrImpl(Stream stream);
Num filenoImpl(Stream stream);

Num fgetcImpl(Stream stream);
Num getcImpl(Stream stream);
Num getcharImpl();
Num ungetcImpl(Int byte, Stream stream);
Num fgetsImpl(Int buffer, Int size, Stream stream);
Num fputcImpl(Int byte, Stream stream);
Num putcImpl(Int byte, Stream stream);
Num putcharImpl(Int byte);
Num fputsImpl(Int string, Stream stream);
Num putsImpl(Text string);
Void perrorImpl(Text prefix);
UNum freadImpl(Int buffer, Int size, Int count, Stream stream);
Num fwriteImpl(Bytes data, Int size, Int count, Stream stream);

Num fseekImpl(Stream stream, Int offset, Int origin);
Num ftellImpl(Stream stream);
Void rewindImpl(Stream stream);
Num fgetposImpl(Stream stream, Int position);
Num fsetposImpl(Stream stream, Int position);
Void setbufImpl(Stream stream, Int buffer);

Num tmpfileImpl();
Num tmpnamImpl(Int buffer);
Num removeImpl(Text path);
Num renameImpl(Text from, Text to);

Num readImpl(Int descriptor, Int buffer, Int count);
Num writeImpl(Int descriptor, Bytes data, Int count);

Num stdoutImpl();
Num stderrImpl();

}  // namespace library
