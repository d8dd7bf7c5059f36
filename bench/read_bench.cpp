// Reading time against program size: generates programs of about 1 MB and 4 MB
// (many definitions with operators, nesting, call lists and texts), reads each a
// few times, and prints the times and their ratio, which stays near 4 when reading
// is linear.
#include <chrono>
#include <cstdio>
#include <string>

#include "front/definitions.h"
#include "front/prelude.h"
#include "front/reader.h"
#include "numbers/value_kind.h"

static std::string program(std::size_t bytes) {
  std::string text = "x\\main 1";
  for (int i = 0; text.size() < bytes; ++i) {
    std::string name = "fn";
    for (int k = i; k > 0; k /= 26) name += char('a' + k % 26);
    text += ",\n" + name + "\\a\\b\\c{a*b+(c-1)}(c^2/3)+g(a,b,[t e x t])%(((a)))";
  }
  return text;
}

static double secondsToRead(const std::string& text) {
  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    front::loadPrelude();
    auto start = std::chrono::steady_clock::now();
    driver::Diagnostic d = front::readProgram(text);
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!d.empty()) std::printf("unexpected %s\n", d.Message.c_str());
    best = std::min(best, took);
  }
  front::clearTables();
  return best;
}

int main() {
  numbers::installCellSeams();
  double small = secondsToRead(program(1 << 20));
  double large = secondsToRead(program(4 << 20));
  std::printf("read 1 MB: %.3f s\nread 4 MB: %.3f s\nratio: %.2f (linear: 4)\n", small, large, large / small);
  return 0;
}
