// vorl: runs a program file with the given argument words.
#include <cstdio>
#include <cstdlib>

#include "driver/driver.h"

int main(int argc, char** argv) {
  int status = driver::runDriver(argc, argv);
  std::fflush(nullptr);
  return status;
}
