// The list of built-in names: one row each, grouped by family, each group headed by
// the file that implements it. Rows whose family is not built yet use the placeholder,
// which answers every call with "Z".
#include "library/builtin_table.h"

#include <initializer_list>

#include "library/adapt.h"
#include "library/memory.h"
#include "library/process.h"
#include "library/streams.h"
#include "library/strings.h"
#include "library/kinds.h"
#include "library/language.h"
#include "numbers/numeric_builtins.h"

namespace library {

static Handle placeholderImpl(const Cell*) { return cells::common(cells::Common::Z); }

static std::pair<std::string, BuiltinEntry> placeholder(const char* name, uint8_t arity) {
  return rawRow(name, arity, &placeholderImpl);
}

bool usesPlaceholder(const BuiltinEntry& entry) { return entry.impl == &placeholderImpl; }

const BuiltinTable& builtin_table() {
  static const BuiltinTable table{
      // Host values and memory (library/memory.cpp)
      row<bzeroImpl>("bzero"),
      row<callocImpl>("calloc"),
      row<freeImpl>("free"),
      row<getsImpl>("gets"),
      row<gettImpl>("gett"),
      row<getuImpl>("getu"),
      row<getvImpl>("getv"),
      row<getwImpl>("getw"),
      row<getxImpl>("getx"),
      row<getyImpl>("gety"),
      row<getzImpl>("getz"),
      row<mallocImpl>("malloc"),
      row<memchrImpl>("memchr"),
      row<memcmpImpl>("memcmp"),
      row<memcpyImpl>("memcpy"),
      row<memmoveImpl>("memmove"),
      row<memsetImpl>("memset"),
      row<reallocImpl>("realloc"),
      row<settImpl>("sett"),
      row<setuImpl>("setu"),
      row<setwImpl>("setw"),
      row<setxImpl>("setx"),
      row<typeImpl>("type"),  // library/kinds.cpp
      // Language built-ins (library/language.cpp)
      row<buckImpl>("buck"),
      row<capeImpl>("cape"),
      row<cmprImpl>("cmpr"),
      row<copyImpl>("copy"),
      row<corkImpl>("cork"),
      row<initImpl>("init"),
      row<leafImpl>("leaf"),
      row<leakImpl>("leak"),
      row<leftImpl>("left"),
      row<lispImpl>("lisp"),
      row<litsImpl>("lits"),
      row<loadImpl>("load"),
      row<lookImpl>("look"),
      row<lotsImpl>("lots"),
      row<rankImpl>("rank"),
      row<rawsImpl>("raws"),
      row<rghtImpl>("rght"),
      row<ternImpl>("tern"),
      row<trimImpl>("trim"),
      row<waveImpl>("wave"),
      row<zitsImpl>("zits"),
      // Standard streams and files (library/streams.cpp)
      row<clearerrImpl>("clearerr"),
      row<fcloseImpl>("fclose"),
      row<fdopenImpl>("fdopen"),
      row<feofImpl>("feof"),
      row<ferrorImpl>("ferror"),
      row<fflushImpl>("fflush"),
      row<fgetcImpl>("fgetc"),
      row<fgetposImpl>("fgetpos"),
      row<fgetsImpl>("fgets"),
      row<filenoImpl>("fileno"),
      row<fopenImpl>("fopen"),
      row<fputcImpl>("fputc"),
      row<fputsImpl>("fputs"),
      row<freadImpl>("fread"),
      row<fseekImpl>("fseek"),
      row<fsetposImpl>("fsetpos"),
      row<ftellImpl>("ftell"),
      row<fwriteImpl>("fwrite"),
      row<getcImpl>("getc"),
      row<getcharImpl>("getchar"),
      row<perrorImpl>("perror"),
      row<putcImpl>("putc"),
      row<putcharImpl>("putchar"),
      row<putsImpl>("puts"),
      row<readImpl>("read"),
      row<removeImpl>("remove"),
      row<renameImpl>("rename"),
      row<rewindImpl>("rewind"),
      row<setbufImpl>("setbuf"),
      row<stderrImpl>("stderr"),
      row<stdoutImpl>("stdout"),
      row<tmpfileImpl>("tmpfile"),
      row<tmpnamImpl>("tmpnam"),
      row<ungetcImpl>("ungetc"),
      row<writeImpl>("write"),
      // Strings and characters (library/strings.cpp)
      row<isalnumImpl>("isalnum"),
      row<isalphaImpl>("isalpha"),
      row<isasciiImpl>("isascii"),
      row<isblankImpl>("isblank"),
      row<isdigitImpl>("isdigit"),
      row<isgraphImpl>("isgraph"),
      row<islowerImpl>("islower"),
      row<isprintImpl>("isprint"),
      row<ispunctImpl>("ispunct"),
      row<isspaceImpl>("isspace"),
      row<isupperImpl>("isupper"),
      row<strcasecmpImpl>("strcasecmp"),
      row<strcatImpl>("strcat"),
      row<strchrImpl>("strchr"),
      row<strcmpImpl>("strcmp"),
      row<strcpyImpl>("strcpy"),
      row<strdupImpl>("strdup"),
      row<strerrorImpl>("strerror"),
      row<strlenImpl>("strlen"),
      row<strncasecmpImpl>("strncasecmp"),
      row<strncatImpl>("strncat"),
      row<strncmpImpl>("strncmp"),
      row<strncpyImpl>("strncpy"),
      row<strnlenImpl>("strnlen"),
      row<strpbrkImpl>("strpbrk"),
      row<strrchrImpl>("strrchr"),
      row<strspnImpl>("strspn"),
      row<strstrImpl>("strstr"),
      row<strtokImpl>("strtok"),
      row<strtok_rImpl>("strtok_r"),
      row<toasciiImpl>("toascii"),
      row<tolowerImpl>("tolower"),
      row<toupperImpl>("toupper"),
      // Time, environment, process and error numbers (library/process.cpp)
      row<abortImpl>("abort"),
      row<asctimeImpl>("asctime"),
      row<assertImpl>("assert"),
      row<ctimeImpl>("ctime"),
      row<difftimeImpl>("difftime"),
      row<eaccesImpl>("eacces"),
      row<ebadfImpl>("ebadf"),
      row<econnabortedImpl>("econnaborted"),
      row<efaultImpl>("efault"),
      row<eintrImpl>("eintr"),
      row<einvalImpl>("einval"),
      row<eioImpl>("eio"),
      row<emfileImpl>("emfile"),
      row<enfileImpl>("enfile"),
      row<enodevImpl>("enodev"),
      row<enomemImpl>("enomem"),
      row<enotsockImpl>("enotsock"),
      row<enxioImpl>("enxio"),
      row<eopnotsuppImpl>("eopnotsupp"),
      row<eoverflowImpl>("eoverflow"),
      row<errnoImpl>("errno"),
      row<ewouldblockImpl>("ewouldblock"),
      row<exitImpl>("exit"),
      row<getenvImpl>("getenv"),
      row<gmtimeImpl>("gmtime"),
      row<localtimeImpl>("localtime"),
      row<mktimeImpl>("mktime"),
      row<raiseImpl>("raise"),
      row<strftimeImpl>("strftime"),
      row<systemImpl>("system"),
      row<timeImpl>("time"),
      row<time_tImpl>("time_t"),
      // Sockets (library/sockets.cpp)
      placeholder("accept", 3),
      placeholder("addrinfo", 0),
      placeholder("af_unspec", 0),
      placeholder("ai_passive", 0),
      placeholder("bind", 3),
      placeholder("closesocket", 1),
      placeholder("connect", 3),
      placeholder("fd_set", 2),  // Decision: takes the socket and the set address it adds it to
      placeholder("freeaddrinfo", 1),
      placeholder("gai_strerror", 1),
      placeholder("getaddrinfo", 4),
      placeholder("gethostname", 2),
      placeholder("getnameinfo", 7),
      placeholder("getpeername", 3),
      placeholder("htonl", 1),
      placeholder("htons", 1),
      placeholder("inet_ntop", 4),
      placeholder("inet_pton", 3),
      placeholder("listen", 2),
      placeholder("ntohl", 1),
      placeholder("ntohs", 1),
      placeholder("recv", 4),
      placeholder("recvfrom", 6),
      placeholder("send", 4),
      placeholder("sendto", 6),
      placeholder("setsockopt", 5),
      placeholder("shutdown", 2),
      placeholder("sock_stream", 0),
      placeholder("socket", 3),
      // Directories (library/directories.cpp)
      placeholder("closedir", 1),
      placeholder("dirent", 0),
      placeholder("opendir", 1),
      placeholder("readdir", 1),
      // Numeric built-ins (numbers/numeric_builtins.cpp)
      row<numbers::absImpl>("abs"),
      row<numbers::acosImpl>("acos"),
      row<numbers::asinImpl>("asin"),
      row<numbers::atanImpl>("atan"),
      row<numbers::atofImpl>("atof"),
      row<numbers::atoiImpl>("atoi"),
      row<numbers::atolImpl>("atol"),
      row<numbers::ceilImpl>("ceil"),
      row<numbers::centImpl>("cent"),
      row<numbers::cosImpl>("cos"),
      row<numbers::coshImpl>("cosh"),
      row<numbers::dashImpl>("dash"),
      row<numbers::diffImpl>("diff"),
      row<numbers::erfImpl>("erf"),
      row<numbers::erfcImpl>("erfc"),
      row<numbers::expImpl>("exp"),
      row<numbers::fabsImpl>("fabs"),
      row<numbers::floorImpl>("floor"),
      row<numbers::fmodImpl>("fmod"),
      row<numbers::frexpImpl>("frexp"),
      row<numbers::gteqImpl>("gteq"),
      row<numbers::hypotImpl>("hypot"),
      row<numbers::labsImpl>("labs"),
      row<numbers::ldexpImpl>("ldexp"),
      row<numbers::lessImpl>("less"),
      row<numbers::logImpl>("log"),
      row<numbers::modfImpl>("modf"),
      row<numbers::multImpl>("mult"),
      row<numbers::nextafterImpl>("nextafter"),
      row<numbers::overImpl>("over"),
      row<numbers::plusImpl>("plus"),
      row<numbers::powImpl>("pow"),
      row<numbers::powaImpl>("powa"),
      row<numbers::randImpl>("rand"),
      row<numbers::rand_maxImpl>("rand_max"),
      row<numbers::realImpl>("real"),
      row<numbers::sameImpl>("same"),
      row<numbers::sinImpl>("sin"),
      row<numbers::sinhImpl>("sinh"),
      row<numbers::sqrtImpl>("sqrt"),
      row<numbers::srandImpl>("srand"),
      row<numbers::strtodImpl>("strtod"),
      row<numbers::strtolImpl>("strtol"),  // Decision: reads the text, the end-pointer address and the base
      row<numbers::strtoulImpl>("strtoul"),  // Decision: reads the text, the end-pointer address and the base
      row<numbers::tanImpl>("tan"),
      row<numbers::tanhImpl>("tanh"),
  };
  return table;
}

const BuiltinEntry* findBuiltin(std::string_view name) {
  const BuiltinTable& table = builtin_table();
  auto found = table.find(name);
  return found == table.end() ? nullptr : &found->second;
}

const Cell* argumentOf(const Cell* application, std::size_t n, std::size_t arity) {
  const Cell* c = application;
  for (std::size_t i = arity - 1; i > n; --i) c = cells::leftOf(c);
  return cells::rightOf(c);
}

}  // namespace library
