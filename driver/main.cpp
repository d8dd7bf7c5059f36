// vorl: runs a program file with the given argument words.
#include <cstdio>
#include <cstdlib>

#include "cells/deep_stack.h"
#include "driver/driver.h"

int main(int argc, char** argv) {
  int status = cells::runOnDeepStack([&] { return driver::runDriver(argc, argv); });
  std::fflush(nullptr);
  return status;
}
