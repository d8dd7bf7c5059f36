// The C runtime's streams and files, one call each.
//
// Platform: the descriptor calls are the POSIX `read`, `write` and `fdopen` and
// `fileno`; streams never translate line ends on this host.
#include "library/streams.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace library {

static std::FILE* stream(Stream s) { return s.pointer; }

// A stream handed to the program becomes one it may pass back.
static Num opened(std::FILE* s) {
  holdHandle(HandleKind::Stream, s);
  return Num::address(s);
}

// Decision: data held in a cell (a text, a byte string) is never read past its end:
// a count reaching further is cut to what the cell holds, and the short count that
// comes back tells the program so, as any short write would. An address is the
// program's own memory and is taken at its word.
static std::size_t wholeElements(const Bytes& data, std::size_t each, std::size_t count) {
  return each == 0 ? count : std::min(count, data.available / each);
}

Num fopenImpl(Text path, Text mode) { return opened(std::fopen(path.chars, mode.chars)); }
Num fdopenImpl(Int fd, Text mode) { return opened(fdopen(int(fd.value), mode.chars)); }
// The stream is gone once fclose returns, whatever it answers.
Num fcloseImpl(Stream s) {
  dropHandle(HandleKind::Stream, s.pointer);
  return Num{std::fclose(stream(s))};
}
Num fflushImpl(Stream s) { return Num{std::fflush(stream(s))}; }
Num feofImpl(Stream s) { return Num{std::feof(stream(s))}; }
Num ferrorImpl(Stream s) { return Num{std::ferror(stream(s))}; }
Void clearerrImpl(Stream s) {
  std::clearerr(stream(s));
  return {};
}
Num filenoImpl(Stream s) { return Num{fileno(stream(s))}; }

Num fgetcImpl(Stream s) { return Num{std::fgetc(stream(s))}; }
Num getcImpl(Stream s) { return Num{std::getc(stream(s))}; }
Num getcharImpl() { return Num{std::getchar()}; }
Num ungetcImpl(Int byte, Stream s) { return Num{std::ungetc(int(byte.value), stream(s))}; }
Num fgetsImpl(Int buffer, Int n, Stream s) {
  return Num::address(std::fgets(buffer.pointer<char>(), int(n.value), stream(s)));
}
Num fputcImpl(Int byte, Stream s) { return Num{std::fputc(int(byte.value), stream(s))}; }
Num putcImpl(Int byte, Stream s) { return Num{std::putc(int(byte.value), stream(s))}; }
Num putcharImpl(Int byte) { return Num{std::putchar(int(byte.value))}; }
Num fputsImpl(Int string, Stream s) { return Num{std::fputs(string.pointer<const char>(), stream(s))}; }
Num putsImpl(Text string) { return Num{std::puts(string.chars)}; }
Void perrorImpl(Text prefix) {
  std::perror(prefix.chars);
  return {};
}
UNum freadImpl(Int buffer, Int each, Int number, Stream s) {
  return UNum{std::fread(buffer.pointer(), each.count(), number.count(), stream(s))};
}
Num fwriteImpl(Bytes data, Int each, Int number, Stream s) {
  std::size_t whole = wholeElements(data, each.count(), number.count());
  return Num{int64_t(std::fwrite(data.chars, each.count(), whole, stream(s)))};
}

Num fseekImpl(Stream s, Int offset, Int origin) {
  return Num{std::fseek(stream(s), long(offset.value), int(origin.value))};
}
Num ftellImpl(Stream s) { return Num{std::ftell(stream(s))}; }
Void rewindImpl(Stream s) {
  std::rewind(stream(s));
  return {};
}
Num fgetposImpl(Stream s, Int position) {
  return Num{std::fgetpos(stream(s), position.pointer<std::fpos_t>())};
}
Num fsetposImpl(Stream s, Int position) {
  return Num{std::fsetpos(stream(s), position.pointer<std::fpos_t>())};
}
Void setbufImpl(Stream s, Int buffer) {
  std::setbuf(stream(s), buffer.pointer<char>());
  return {};
}

Num tmpfileImpl() { return opened(std::tmpfile()); }
Num tmpnamImpl(Int buffer) { return Num::address(std::tmpnam(buffer.pointer<char>())); }
Num removeImpl(Text path) { return Num{std::remove(path.chars)}; }
Num renameImpl(Text from, Text to) { return Num{std::rename(from.chars, to.chars)}; }

Num readImpl(Int fd, Int buffer, Int number) {
  return Num{::read(int(fd.value), buffer.pointer(), number.count())};
}
Num writeImpl(Int fd, Bytes data, Int number) {
  return Num{::write(int(fd.value), data.chars, std::min(number.count(), data.available))};
}

Num stdoutImpl() { return Num::address(stdout); }
Num stderrImpl() { return Num::address(stderr); }

}  // namespace library
