// Faults inside host calls.
#include "library/host_fault.h"

#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cells/ending.h"

namespace library {

namespace {
// What the handler needs: where a guarded call lands, and what the fault was.
// Written only by the program's thread and its own handler.
struct Guard {
  sigjmp_buf* landing = nullptr;
  BuiltinFn self = nullptr;  // the guarded form of the running row
  int signal = 0;
  int code = 0;
  uintptr_t address = 0;
  volatile sig_atomic_t reporting = 0;  // a report of a fault is being written
};
}  // namespace

static Guard& guard() {
  static constinit Guard g;
  return g;
}

// SIGABRT: the C library stops a call that it finds corrupt (`free` of an address
// that malloc never gave). An abort outside any guarded call goes on as an abort.
static constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// Decimal digits of v into `out` (at least 21 bytes); gives the length.
static std::size_t decimal(uintptr_t v, char* out) {
  char digits[24];
  std::size_t n = 0;
  do digits[n++] = char('0' + v % 10);
  while (v /= 10);
  for (std::size_t i = 0; i < n; ++i) out[i] = digits[n - 1 - i];
  return n;
}

// A fault outside any built-in: only async-signal-safe calls, then the abort.
[[noreturn, gnu::no_sanitize_address]] static void internalFault(int signal, uintptr_t address) {
  char line[160] = "INTERNAL FAULT: signal ";
  std::size_t n = std::strlen(line);
  n += decimal(uintptr_t(signal), line + n);
  constexpr std::string_view kAt = " at address ";
  std::memcpy(line + n, kAt.data(), kAt.size());
  n += kAt.size();
  n += decimal(address, line + n);
  constexpr std::string_view kTail = " outside any built-in call: a fault of vorl itself.\n";
  std::memcpy(line + n, kTail.data(), kTail.size());
  n += kTail.size();
  ssize_t written = ::write(2, line, n);
  (void)written;
  std::fflush(stdout);  // best effort: the program's output matters more than the risk
  ::signal(SIGABRT, SIG_DFL);
  std::abort();
}

[[noreturn]] static void reportFault(BuiltinFn self);

// AddressSanitizer cannot follow a jump out of a fault on a stack as large as the
// interpreter's (it leaves the deeper frames poisoned and reports the landing), so
// its builds report from the handler itself, which the tests' faults allow. The
// functions on that path are not instrumented: before each call that does not
// return, the sanitizer would try to clean the whole 4 GiB stack and warn.
#if defined(__SANITIZE_ADDRESS__)
static constexpr bool kJumpBack = false;
#elif defined(__has_feature)
static constexpr bool kJumpBack = !__has_feature(address_sanitizer);
#else
static constexpr bool kJumpBack = true;
#endif

[[gnu::no_sanitize_address]] static void onFault(int signal, siginfo_t* info, void*) {
  Guard& g = guard();
  uintptr_t address = reinterpret_cast<uintptr_t>(info->si_addr);
  if (!g.landing && signal == SIGABRT) return;  // abort() then ends the process as usual
  // Outside any built-in, or a fault while a fault's report is written (which would
  // otherwise report itself again, without end): a fault of vorl itself.
  if (!g.landing || g.reporting) internalFault(signal, address);
  g.signal = signal;
  g.code = info->si_code;
  g.address = address;
  if (!kJumpBack) reportFault(g.self);
  siglongjmp(*g.landing, 1);
}

// An alternate stack for this thread, unless it has one already. Mapped rather
// than allocated: a sanitizer's runtime unmaps the thread's alternate stack when
// the thread ends.
static void useAlternateStack() {
  stack_t current = {};
  if (sigaltstack(nullptr, &current) != 0 || !(current.ss_flags & SS_DISABLE)) return;
  constexpr std::size_t kBytes = std::size_t{256} << 10;
  void* alternate = mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (alternate == MAP_FAILED) return;
  stack_t stack = {};
  stack.ss_sp = alternate;
  stack.ss_size = kBytes;
  sigaltstack(&stack, nullptr);
}

void installFaultHandlers() {
  useAlternateStack();
  struct sigaction action = {};
  action.sa_sigaction = &onFault;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int s : kFaultSignals) sigaction(s, &action, nullptr);
}

// The report of a guarded call that faulted. The fault may have left the C
// library's state half changed, so the report is assembled without allocation.
static std::string_view nameOf(BuiltinFn guarded) {
  for (const auto& [name, entry] : builtinTable())
    if (entry.guarded == guarded) return name;
  return "?";
}

[[noreturn, gnu::no_sanitize_address]] static void reportFault(BuiltinFn self) {
  guard().reporting = 1;
  sigset_t faults;
  sigemptyset(&faults);
  for (int s : kFaultSignals) sigaddset(&faults, s);
  pthread_sigmask(SIG_UNBLOCK, &faults, nullptr);  // the handler left without returning
  const Guard& g = guard();
  char message[96];
  bool sent = g.code <= 0;  // raised by a program's `raise` or another process
  int n = g.signal == SIGABRT
              ? std::snprintf(message, sizeof message, "The C library aborted a built-in call.")
          : sent ? std::snprintf(message, sizeof message, "Signal %d raised in a built-in call.", g.signal)
          : g.signal == SIGSEGV || g.signal == SIGBUS
              ? std::snprintf(message, sizeof message, "Bad address %llu in a built-in call.",
                              static_cast<unsigned long long>(g.address))
              : std::snprintf(message, sizeof message, "Signal %d in a built-in call.", g.signal);
  cells::endWithReport("Fault", nameOf(self), std::string_view(message, std::size_t(n)));
}

void reportBadHandle(uintptr_t address, std::string_view what) {
  char message[128];
  int n = std::snprintf(message, sizeof message, "Bad address %llu in a built-in call: no %.*s there.",
                        static_cast<unsigned long long>(address), int(what.size()), what.data());
  cells::endWithReport("Fault", nameOf(guard().self), std::string_view(message, std::size_t(n)));
}

// Decision: sigsetjmp without the signal mask (no system call per guarded call);
// the landing unblocks the fault signals itself.
template <class Impl, class Given>
static cells::Handle guardedCall(Impl impl, BuiltinFn self, Given given) {
  Guard& g = guard();
  sigjmp_buf landing;
  sigjmp_buf* outer = g.landing;
  BuiltinFn outerSelf = g.self;
  if (sigsetjmp(landing, 0) != 0) reportFault(self);
  g.landing = &landing;
  g.self = self;
  cells::Handle result = impl(given);
  g.landing = outer;
  g.self = outerSelf;
  return result;
}

cells::Handle callGuarded(BuiltinFn impl, BuiltinFn self, const cells::Cell* application) {
  return guardedCall(impl, self, application);
}

cells::Handle callGuardedOn(BuiltinArgumentsFn impl, BuiltinFn self, const cells::Cell* const* arguments) {
  return guardedCall(impl, self, arguments);
}

}  // namespace library
