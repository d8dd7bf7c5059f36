// Prints "operation x y result" lines for random integers of 1 to 5,000 digits and
// both signs, computed by the numeric built-ins; differential_check.py recomputes
// every line with python3's integers.
#include <cstdio>
#include <random>
#include <string>

#include "cells/convert.h"
#include "library/builtin_table.h"
#include "numbers/value_kind.h"

static std::string apply(const char* name, const std::string& x, const std::string& y) {
  cells::Handle application = cells::makePair(cells::makeAtom(name), cells::makeAtom(x), cells::makeAtom(y));
  return std::string(library::findBuiltin(name)->impl(application.get()).text());
}

static std::string randomNumeral(std::mt19937_64& random, std::size_t maxDigits) {
  std::size_t length = 1 + random() % maxDigits;
  std::string digits(length, '0');
  for (char& d : digits) d = char('0' + random() % 10);
  digits[0] = char('1' + random() % 9);
  if (random() % 8 == 0) return "0";
  return random() % 2 ? "0" + digits : digits;
}

int main(int argc, char** argv) {
  numbers::installCellSeams();
  std::mt19937_64 random(argc > 1 ? std::stoull(argv[1]) : 2024);
  for (int i = 0; i < 120; ++i) {
    std::size_t scale = i % 3 == 0 ? 5000 : i % 3 == 1 ? 40 : 20;
    std::string x = randomNumeral(random, scale), y = randomNumeral(random, scale);
    for (const char* op : {"plus", "dash", "mult", "over", "cent", "less", "gteq", "same"})
      std::printf("%s %s %s %s\n", op, x.c_str(), y.c_str(), apply(op, x, y).c_str());
    std::printf("same %s %s %s\n", x.c_str(), x.c_str(), apply("same", x, x).c_str());
    std::string e = std::to_string(int(random() % 9) - 2);
    if (e[0] == '-') e[0] = '0';
    std::printf("powa %s %s %s\n", x.c_str(), e.c_str(), apply("powa", x, e).c_str());
  }
  return 0;
}
