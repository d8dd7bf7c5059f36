// The settings of an observed run and the writing of what it saw.
#include "eval/observe.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "eval/profile.h"

namespace eval {

Observation& observation() {
  static auto* settings = new Observation;  // read at exit, from wherever the run ends
  return *settings;
}

bool& stepLimitReached() {
  static bool reached = false;
  return reached;
}

std::string profileTable() {
  callProfile().stop();
  return callProfile().table(observation().profileAll);
}

void resetObservations() { callProfile() = CallProfile(); }

static void writeFolded(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  std::string stacks = callProfile().folded();
  bool written = f && std::fwrite(stacks.data(), 1, stacks.size(), f) == stacks.size();
  int error = errno;
  if (f && std::fclose(f) != 0) written = false;
  if (!written)
    std::fprintf(stderr, "vorl: could not write the folded stacks to %s: %s\n", path.c_str(),
                 std::strerror(error));
}

void writeObservations() {
  static bool written = false;
  if (written || !observation().profiling() || !callProfile().started()) return;
  written = true;
  callProfile().stop();
  if (observation().profile) {
    std::string table = callProfile().table(observation().profileAll);
    std::fwrite(table.data(), 1, table.size(), stderr);
  }
  if (!observation().foldedPath.empty()) writeFolded(observation().foldedPath);
}

}  // namespace eval
