// C strings and characters. `strlen`, `strcmp`, `strcpy`, `strcat`, `isascii` and
// `toascii` are computed here; every other row is one call of the C function.
//
// Platform: the case-blind comparisons are the POSIX `strcasecmp` and
// `strncasecmp`, the reentrant tokenizer is `strtok_r`, and `strdup` is POSIX's.
#include "library/strings.h"

#include <strings.h>

#include <cctype>
#include <cstring>

namespace library {

static char* destination(Int d) { return d.pointer<char>(); }

// The count of bytes before the first NUL.
static std::size_t lengthOf(const char* s) {
  std::size_t n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

// Copies the bytes of `source` and its NUL to `to`, one by one.
static void copyString(char* to, const char* source) {
  std::size_t i = 0;
  do to[i] = source[i];
  while (source[i++] != '\0');
}

Num strlenImpl(Text s) { return Num{int64_t(lengthOf(s.chars))}; }
Num strnlenImpl(Text s, Int max) { return Num{int64_t(strnlen(s.chars, max.count()))}; }

// Compares as unsigned bytes up to the first difference or the NUL ending both:
// always exactly -1, 0 or 1.
Num strcmpImpl(Text a, Text b) {
  auto x = reinterpret_cast<const unsigned char*>(a.chars);
  auto y = reinterpret_cast<const unsigned char*>(b.chars);
  std::size_t i = 0;
  while (x[i] == y[i] && x[i] != '\0') ++i;
  return Num{x[i] == y[i] ? 0 : x[i] < y[i] ? -1 : 1};
}
Num strncmpImpl(Text a, Text b, Int n) { return Num{std::strncmp(a.chars, b.chars, n.count())}; }
Num strcasecmpImpl(Text a, Text b) { return Num{strcasecmp(a.chars, b.chars)}; }
Num strncasecmpImpl(Text a, Text b, Int n) { return Num{strncasecmp(a.chars, b.chars, n.count())}; }

Num strcpyImpl(Int to, Text source) {
  copyString(destination(to), source.chars);
  return Num{to.value};
}
Num strncpyImpl(Int to, Int source, Int n) {
  return Num::address(std::strncpy(destination(to), source.pointer<const char>(), n.count()));
}
Num strcatImpl(Int to, Text source) {
  copyString(destination(to) + lengthOf(destination(to)), source.chars);
  return Num{to.value};
}
Num strncatImpl(Int to, Text source, Int n) {
  return Num::address(std::strncat(destination(to), source.chars, n.count()));
}
Num strdupImpl(Text s) { return Num::address(strdup(s.chars)); }

Num strchrImpl(Text s, Int c) { return Num::address(std::strchr(s.chars, int(c.value))); }
Num strrchrImpl(Text s, Int c) { return Num::address(std::strrchr(s.chars, int(c.value))); }
Num strstrImpl(Text s, Text sub) { return Num::address(std::strstr(s.chars, sub.chars)); }
Num strpbrkImpl(Text s, Text set) { return Num::address(std::strpbrk(s.chars, set.chars)); }
Num strspnImpl(Text s, Text set) { return Num{int64_t(std::strspn(s.chars, set.chars))}; }
Num strtokImpl(Int s, Text delimiters) { return Num::address(std::strtok(destination(s), delimiters.chars)); }
Num strtok_rImpl(Int s, Text delimiters, Int context) {
  return Num::address(strtok_r(destination(s), delimiters.chars, context.pointer<char*>()));
}
Num strerrorImpl(Int number) { return Num::address(std::strerror(int(number.value))); }

// ---- Characters ----

// The C parameter is an int: the value's low 32 bits in two's complement, as a C
// caller's conversion would pass it (so 4294967393 is 97, "a").
static int cInt(Int c) { return int(uint32_t(c.value)); }

// Decision: the C classifiers and case mappings are defined only on the bytes 0 to
// 255 and on EOF (-1), which is in no class and which case mapping keeps. Every
// other int is answered as EOF is: in no class, and mapped to itself, rather than
// letting the C tables be read out of bounds.
static bool isByte(int c) { return c >= 0 && c <= 255; }

template <class Classifier>
static Truth classify(Int c, Classifier test) {
  int b = cInt(c);
  return Truth{isByte(b) && test(b) != 0};
}
template <class Mapping>
static Num mapCase(Int c, Mapping map) {
  int b = cInt(c);
  return Num{isByte(b) ? map(b) : b};
}

// A table aligned by hand.
// clang-format off
Truth isalnumImpl(Int c) { return classify(c, [](int b) { return std::isalnum(b); }); }
Truth isalphaImpl(Int c) { return classify(c, [](int b) { return std::isalpha(b); }); }
Truth isblankImpl(Int c) { return classify(c, [](int b) { return std::isblank(b); }); }
Truth isdigitImpl(Int c) { return classify(c, [](int b) { return std::isdigit(b); }); }
Truth isgraphImpl(Int c) { return classify(c, [](int b) { return std::isgraph(b); }); }
Truth islowerImpl(Int c) { return classify(c, [](int b) { return std::islower(b); }); }
Truth isprintImpl(Int c) { return classify(c, [](int b) { return std::isprint(b); }); }
Truth ispunctImpl(Int c) { return classify(c, [](int b) { return std::ispunct(b); }); }
Truth isspaceImpl(Int c) { return classify(c, [](int b) { return std::isspace(b); }); }
Truth isupperImpl(Int c) { return classify(c, [](int b) { return std::isupper(b); }); }
// clang-format on

// An int from 0 to 127: no bit above the low seven set.
Truth isasciiImpl(Int c) { return Truth{uint32_t(cInt(c)) < 128}; }
Num toasciiImpl(Int c) { return Num{cInt(c) & 0x7F}; }
// A table aligned by hand.
// clang-format off
Num tolowerImpl(Int c) { return mapCase(c, [](int b) { return std::tolower(b); }); }
Num toupperImpl(Int c) { return mapCase(c, [](int b) { return std::toupper(b); }); }
// clang-format on

}  // namespace library
