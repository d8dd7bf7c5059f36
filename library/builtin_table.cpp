// The list of built-in names: one row each, grouped by family, each group headed by
// the file that implements it.
#include "library/builtin_table.h"

#include <algorithm>
#include <initializer_list>

#include "library/adapt.h"
#include "library/directories.h"
#include "library/kinds.h"
#include "library/language.h"
#include "library/memory.h"
#include "library/numeric_builtins.h"
#include "library/process.h"
#include "library/sockets.h"
#include "library/streams.h"
#include "library/strings.h"

namespace library {

static Handle sandboxedImpl(const Cell*) { return cells::common(cells::Common::Z); }

// The rows that touch nothing outside the interpreter's own values. In the fuzzing
// build every other row answers "Z".
static bool isPure(std::string_view name) {
  static constexpr std::string_view kPure[] = {
      "abs",         "acos",    "addrinfo",     "af_unspec",   "ai_passive", "asin",    "atan",
      "atof",        "atoi",    "atol",         "buck",        "cape",       "ceil",    "cent",
      "cmpr",        "cork",    "cos",          "cosh",        "dash",       "diff",    "dirent",
      "eacces",      "ebadf",   "econnaborted", "efault",      "eintr",      "einval",  "eio",
      "emfile",      "enfile",  "enodev",       "enomem",      "enotsock",   "enxio",   "eopnotsupp",
      "eoverflow",   "erf",     "erfc",         "ewouldblock", "exp",        "fabs",    "floor",
      "fmod",        "gteq",    "htonl",        "htons",       "hypot",      "init",    "isalnum",
      "isalpha",     "isascii", "isblank",      "isdigit",     "isgraph",    "islower", "isprint",
      "ispunct",     "isspace", "isupper",      "labs",        "ldexp",      "leaf",    "leak",
      "left",        "less",    "lisp",         "lits",        "load",       "log",     "look",
      "lots",        "mult",    "nextafter",    "ntohl",       "ntohs",      "over",    "plus",
      "pow",         "powa",    "rank",         "raws",        "real",       "rght",    "same",
      "sin",         "sinh",    "sock_stream",  "sqrt",        "strcasecmp", "strcmp",  "strlen",
      "strncasecmp", "strncmp", "strnlen",      "strspn",      "tan",        "tanh",    "tern",
      "time_t",      "toascii", "tolower",      "toupper",     "trim",       "type",    "wave",
      "zits"};
  return std::find(std::begin(kPure), std::end(kPure), name) != std::end(kPure);
}

// Rows that are not pure reach the host: they are called guarded, and in the
// fuzzing build they answer "Z" instead. Pure rows that read a C string by its
// address are guarded too. The fuzzing build also answers "Z" for `leak`: a cell's
// address differs from run to run, and the fuzzer compares two runs.
// A comparison's row with its decision (BuiltinEntry::decide).
static std::pair<std::string, BuiltinEntry> decided(std::pair<std::string, BuiltinEntry> row,
                                                    int (*decide)(const Cell* const*)) {
  row.second.decide = decide;
  return row;
}

static BuiltinTable guardHostRows(BuiltinTable table) {
  for (auto& [name, entry] : table) {
    bool pure = isPure(name);
    entry.pure = pure && !entry.readsAddress && name != "leak";
    if (!pure || entry.readsAddress) {
      entry.impl = entry.guarded;
      entry.onArguments = entry.guardedOnArguments;
    }
    if ((!pure || name == "leak") && kSandbox) {
      entry.impl = &sandboxedImpl;
      entry.onArguments = nullptr;
    }
  }
  return table;
}

// The rows, made once. A function of its own: the list of its rows makes a large
// stack frame in a build without optimisation, and the table is also read from the
// fault handler (a report names the faulting row), on the small signal stack.
[[gnu::noinline]] static BuiltinTable makeTable() {
  return guardHostRows({
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
      row<acceptImpl>("accept"),
      row<addrinfoImpl>("addrinfo"),
      row<af_unspecImpl>("af_unspec"),
      row<ai_passiveImpl>("ai_passive"),
      row<bindImpl>("bind"),
      row<closesocketImpl>("closesocket"),
      row<connectImpl>("connect"),
      row<fd_setImpl>("fd_set"),  // Decision: takes the socket and the set address it adds it to
      row<freeaddrinfoImpl>("freeaddrinfo"),
      row<gai_strerrorImpl>("gai_strerror"),
      row<getaddrinfoImpl>("getaddrinfo"),
      row<gethostnameImpl>("gethostname"),
      row<getnameinfoImpl>("getnameinfo"),
      row<getpeernameImpl>("getpeername"),
      row<htonlImpl>("htonl"),
      row<htonsImpl>("htons"),
      row<inet_ntopImpl>("inet_ntop"),
      row<inet_ptonImpl>("inet_pton"),
      row<listenImpl>("listen"),
      row<ntohlImpl>("ntohl"),
      row<ntohsImpl>("ntohs"),
      row<recvImpl>("recv"),
      row<recvfromImpl>("recvfrom"),
      row<sendImpl>("send"),
      row<sendtoImpl>("sendto"),
      row<setsockoptImpl>("setsockopt"),
      row<shutdownImpl>("shutdown"),
      row<ai_passiveImpl>("sock_stream"),  // shares ai_passive's code: both give 1
      row<socketImpl>("socket"),
      // Directories (library/directories.cpp)
      row<closedirImpl>("closedir"),
      row<direntImpl>("dirent"),
      row<opendirImpl>("opendir"),
      row<readdirImpl>("readdir"),
      // Numeric built-ins (library/numeric_builtins.cpp)
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
      decided(row<numbers::diffImpl>("diff"), &numbers::diffDecision),
      row<numbers::erfImpl>("erf"),
      row<numbers::erfcImpl>("erfc"),
      row<numbers::expImpl>("exp"),
      row<numbers::fabsImpl>("fabs"),
      row<numbers::floorImpl>("floor"),
      row<numbers::fmodImpl>("fmod"),
      row<numbers::frexpImpl>("frexp"),
      decided(row<numbers::gteqImpl>("gteq"), &numbers::gteqDecision),
      row<numbers::hypotImpl>("hypot"),
      row<numbers::labsImpl>("labs"),
      row<numbers::ldexpImpl>("ldexp"),
      decided(row<numbers::lessImpl>("less"), &numbers::lessDecision),
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
      decided(row<numbers::sameImpl>("same"), &numbers::sameDecision),
      row<numbers::sinImpl>("sin"),
      row<numbers::sinhImpl>("sinh"),
      row<numbers::sqrtImpl>("sqrt"),
      row<numbers::srandImpl>("srand"),
      row<numbers::strtodImpl>("strtod"),
      row<numbers::strtolImpl>("strtol"),    // Decision: reads the text, the end-pointer address and the base
      row<numbers::strtoulImpl>("strtoul"),  // Decision: reads the text, the end-pointer address and the base
      row<numbers::tanImpl>("tan"),
      row<numbers::tanhImpl>("tanh"),
  });
}

const BuiltinTable& builtinTable() {
  static const BuiltinTable table = makeTable();
  return table;
}

const BuiltinEntry* findBuiltin(std::string_view name) {
  const BuiltinTable& table = builtinTable();
  auto found = table.find(name);
  return found == table.end() ? nullptr : &found->second;
}

}  // namespace library
