// Stop signals. A handler may run in the middle of any C library call, so it only
// writes the signal's number into a pipe; a watcher thread reads it and does the
// flushing, which takes the streams' locks like any other thread.
#include "cells/stop_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "cells/ending.h"

namespace cells {

static constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
// A stream that stays locked (a thread blocked inside a call on it) would keep
// the flush waiting forever: after this many seconds the process ends anyway.
static constexpr unsigned kFlushSeconds = 2;

static int& pipeEnd(int end) {
  static int ends[2] = {-1, -1};
  return ends[end];
}

static int& stopSignal() {
  static int signal = 0;
  return signal;
}

// A signal that the program raised itself (the built-in `raise`) stops it here
// and now: the thread that raised it waits for the watcher to end the process, so
// nothing runs after the `raise`. That thread is inside no C stream call.
static void onStopSignal(int signal, siginfo_t* info, void*) {
  unsigned char byte = static_cast<unsigned char>(signal);
  ssize_t written = ::write(pipeEnd(1), &byte, 1);
  (void)written;
  bool raised = (info->si_code == SI_TKILL || info->si_code == SI_USER) && info->si_pid == ::getpid();
  while (raised) ::pause();
}

static void onFlushTimeout(int) { ::_exit(128 + stopSignal()); }

// How long the watcher waits for the machine's thread to write an observed run's profile.
static constexpr int kObserverMilliseconds = 200;

static void writeObservedRun() {
  if (!endingWriter()) return;
  stopState().store(StopState::requested);
  for (int waited = 0; waited < kObserverMilliseconds && stopState().load() == StopState::requested;
       ++waited) {
    struct timespec millisecond = {0, 1000000};
    ::nanosleep(&millisecond, nullptr);
  }
  StopState expected = StopState::requested;
  if (stopState().compare_exchange_strong(expected, StopState::watcherWriting)) {
    endingWriter()();
    return;
  }
  while (stopState().load() != StopState::written) {  // the machine's thread writes; the alarm bounds it
    struct timespec millisecond = {0, 1000000};
    ::nanosleep(&millisecond, nullptr);
  }
}

void writeAndStop() {
  StopState expected = StopState::requested;
  if (stopState().compare_exchange_strong(expected, StopState::machineWriting)) {
    endingWriter()();
    stopState().store(StopState::written);
  }
  for (;;) ::pause();
}

static void* watch(void*) {
  unsigned char byte;
  while (::read(pipeEnd(0), &byte, 1) != 1) {
  }
  stopSignal() = byte;
  ::signal(SIGALRM, &onFlushTimeout);
  ::alarm(kFlushSeconds);
  writeObservedRun();
  std::fflush(nullptr);  // newest streams first, standard output near the end
  ::_exit(128 + byte);
}

// The watcher itself receives none of the signals it acts on.
static bool startWatcher() {
  sigset_t all, saved;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &saved);
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  pthread_attr_setstacksize(&attributes, std::size_t{256} << 10);
  pthread_t thread;
  bool started = pthread_create(&thread, &attributes, &watch, nullptr) == 0;
  pthread_attr_destroy(&attributes);
  pthread_sigmask(SIG_SETMASK, &saved, nullptr);
  return started;
}

void watchStopSignals() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return;
  pipeEnd(0) = ends[0];
  pipeEnd(1) = ends[1];
  if (!startWatcher()) return;
  struct sigaction action = {};
  action.sa_sigaction = &onStopSignal;
  action.sa_flags = SA_RESTART | SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  for (int s : kStopSignals) sigaction(s, &action, nullptr);
}

// SIGPIPE: a write into a pipe or socket whose reader has gone. The write gives -1
// with EPIPE either way; when the reader of standard output has gone, the run is
// marked to end after the built-in call under way (see the header).
static void onBrokenPipe(int) {
  struct pollfd out = {STDOUT_FILENO, POLLOUT, 0};
  if (::poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0) outputBrokenFlag = 1;
}

void endOnBrokenStandardOutput() {
  struct sigaction action = {};
  action.sa_handler = &onBrokenPipe;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGPIPE, &action, nullptr);
}

}  // namespace cells
