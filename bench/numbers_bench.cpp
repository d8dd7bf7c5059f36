// Times the numeric built-ins on long and small numerals and runs python3 on the
// same computations; prints both times and the ratio (ours over python's). Each
// side takes the best of several runs, so that a busy machine skews neither.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "cells/cell.h"
#include "library/builtin_table.h"
#include "numbers/value_kind.h"

static std::string digits(std::mt19937_64& random, std::size_t n) {
  std::string s(n, '0');
  for (char& c : s) c = char('0' + random() % 10);
  s[0] = '7';
  return s;
}

static cells::Handle application(const char* name, const std::string& x, const std::string& y) {
  return cells::makePair(cells::makeAtom(name), cells::makeAtom(x), cells::makeAtom(y));
}

constexpr int kRuns = 5;

template <class Work>
static double seconds(Work&& work) {
  double best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

static double timeCall(const char* name, const std::string& x, const std::string& y) {
  cells::Handle app = application(name, x, y);
  library::BuiltinFn impl = library::findBuiltin(name)->impl;
  return seconds([&] { cells::Handle result = impl(app.get()); });
}

static double timeSmall() {
  cells::Handle sum = application("plus", "123456789", "987654");
  cells::Handle less = application("less", "123456789", "987654");
  library::BuiltinFn plus = library::findBuiltin("plus")->impl, lessThan = library::findBuiltin("less")->impl;
  return seconds([&] {
    for (int i = 0; i < 1'000'000; ++i) {
      cells::Handle s = plus(sum.get());
      cells::Handle t = lessThan(less.get());
    }
  });
}

static std::map<std::string, double> runPython(const std::string& operandFile) {
  std::string command = std::string("python3 ") + VORL_BENCH_SCRIPT + " " + operandFile;
  std::map<std::string, double> times;
  std::FILE* pipe = popen(command.c_str(), "r");
  char name[64];
  double t;
  while (pipe && std::fscanf(pipe, "%63s %lf", name, &t) == 2) times[name] = t;
  if (pipe) pclose(pipe);
  return times;
}

int main() {
  numbers::installCellSeams();
  std::mt19937_64 random(7);
  std::string a = digits(random, 50000), b = digits(random, 50000);
  std::string c = digits(random, 100000), d = digits(random, 50000);
  std::map<std::string, double> ours = {{"product", timeCall("mult", a, b)},
                                        {"power", timeCall("powa", "3", "200000")},
                                        {"quotient", timeCall("over", c, d)},
                                        {"remainder", timeCall("cent", c, d)},
                                        {"small", timeSmall()}};
  char path[] = "/tmp/vorl_bench_XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return 1;
  std::FILE* f = fdopen(fd, "w");
  std::fprintf(f, "%s\n%s\n%s\n%s\n", a.c_str(), b.c_str(), c.c_str(), d.c_str());
  std::fclose(f);
  std::map<std::string, double> python = runPython(path);
  std::remove(path);
  std::printf("%-10s %12s %12s %8s\n", "case", "vorl s", "python3 s", "ratio");
  for (auto& [name, t] : ours)
    std::printf("%-10s %12.6f %12.6f %8.3f\n", name.c_str(), t, python[name],
                python[name] > 0 ? t / python[name] : 0.0);
  return 0;
}
