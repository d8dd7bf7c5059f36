// The deep-stack thread.
#include "cells/deep_stack.h"

#include <pthread.h>
#include <sys/resource.h>

#include "cells/invariant.h"

namespace cells {

namespace {
struct Job {
  int (*work)(void*);
  void* context;
  int result;
};
}  // namespace

static std::size_t& obtainedStack() {
  static std::size_t bytes = kDeepStackBytes;
  return bytes;
}

std::size_t deepStackBytes() { return obtainedStack(); }

static void* runJob(void* p) {
  Job* job = static_cast<Job*>(p);
  job->result = job->work(job->context);
  return nullptr;
}

static bool startThread(pthread_t& thread, Job& job, std::size_t bytes) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  bool started = pthread_attr_setstacksize(&attributes, bytes) == 0 &&
                 pthread_create(&thread, &attributes, &runJob, &job) == 0;
  pthread_attr_destroy(&attributes);
  return started;
}

// The calling thread's own stack limit, less a margin for what is already on it.
static std::size_t ownStackBytes() {
  struct rlimit limit;
  constexpr std::size_t kFallback = std::size_t{8} << 20;
  std::size_t bytes = getrlimit(RLIMIT_STACK, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
                          ? std::size_t(limit.rlim_cur)
                          : kFallback;
  return bytes / 2;
}

int runOnDeepStack(int (*work)(void*), void* context) {
  Job job{work, context, 0};
  pthread_t thread;
  for (std::size_t bytes = kDeepStackBytes; bytes >= kShallowestStackBytes; bytes /= 2) {
    obtainedStack() = bytes;  // before the thread starts: it reads the size
    if (!startThread(thread, job, bytes)) continue;
    invariant(pthread_join(thread, nullptr) == 0, "interpreter thread was not joined");
    return job.result;
  }
  obtainedStack() = ownStackBytes();  // no room for any thread: run here
  return runJob(&job), job.result;
}

}  // namespace cells
