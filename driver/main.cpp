// vorl: runs a program file with the given argument words.
#include "cells/deep_stack.h"
#include "cells/ending.h"
#include "cells/stop_signals.h"
#include "driver/driver.h"

int main(int argc, char** argv) {
  cells::holdStandardDescriptors();
  cells::watchStopSignals();
  int status = cells::runOnDeepStack([&] { return driver::runDriver(argc, argv); });
  return cells::finishOutput(status);
}
