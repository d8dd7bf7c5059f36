#include "library/host_fault.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

#include "cells/common_atoms.h"

namespace library {
namespace {

static cells::Handle faultingRow(const cells::Cell*) {
  std::raise(SIGBUS);  // as a C call given a bad address would fault
  return cells::common(cells::Common::Z);
}
static cells::Handle guardedFaultingRow(const cells::Cell* application) {
  return callGuarded(&faultingRow, &guardedFaultingRow, application);
}
static cells::Handle quietRow(const cells::Cell*) { return cells::common(cells::Common::I); }
static cells::Handle guardedQuietRow(const cells::Cell* application) {
  return callGuarded(&quietRow, &guardedQuietRow, application);
}

TEST(HostFaultDeathTest, AFaultInAGuardedCallIsAReportAfterTheOutput) {
  EXPECT_EXIT(
      {
        installFaultHandlers();
        std::fputs("written before\n", stdout);
        guardedFaultingRow(nullptr);
      },
      ::testing::ExitedWithCode(128),
      "Error.\n Type: Fault\n Name: \\?\nSignal 7 raised in a built-in call.");
}

TEST(HostFaultDeathTest, AFaultOutsideAnyBuiltinIsAnInternalFault) {
  EXPECT_DEATH(
      {
        installFaultHandlers();
        guardedQuietRow(nullptr);  // a finished guarded call leaves no landing behind
        std::raise(SIGSEGV);
      },
      "INTERNAL FAULT: signal 11 at address [0-9]+ outside any built-in call");
}

TEST(HostFault, AGuardedCallGivesItsResult) {
  installFaultHandlers();
  EXPECT_EQ(guardedQuietRow(nullptr).get(), cells::common(cells::Common::I).get());
}

}  // namespace
}  // namespace library
