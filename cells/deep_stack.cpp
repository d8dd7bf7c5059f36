// The deep-stack thread.
#include "cells/deep_stack.h"

#include <pthread.h>

#include "cells/invariant.h"

namespace cells {

namespace {
struct Job {
  int (*work)(void*);
  void* context;
  int result;
};
}  // namespace

static void* runJob(void* p) {
  Job* job = static_cast<Job*>(p);
  job->result = job->work(job->context);
  return nullptr;
}

int runOnDeepStack(int (*work)(void*), void* context) {
  Job job{work, context, 0};
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, kDeepStackBytes);
  pthread_t thread;
  int started = pthread_create(&thread, &attributes, &runJob, &job);
  pthread_attr_destroy(&attributes);
  if (started != 0) return runJob(&job), job.result;  // no room for the thread: run here
  invariant(pthread_join(thread, nullptr) == 0, "interpreter thread was not joined");
  return job.result;
}

}  // namespace cells
