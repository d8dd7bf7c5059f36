// Looking inside a run: a profile of the definitions it entered, a trace of the
// calls of chosen definitions, and a limit on its steps. All of it is off unless
// the command line or the session asks; the machine then runs in its observing
// form (machine.cpp), and the plain form pays nothing for it.
#pragma once

#include <string>
#include <vector>

namespace eval {

struct Observation {
  bool profile = false;             // the table on standard error when the run ends
  bool profileAll = false;          // prelude combinators and built-ins one by one
  std::string foldedPath;           // folded stacks written here when the run ends, when set
  std::vector<std::string> traced;  // definitions whose calls are traced
  unsigned long long maxSteps = 0;  // a run ends with a report after this many steps; 0: no limit

  bool profiling() const { return profile || !foldedPath.empty(); }
  bool any() const { return profiling() || !traced.empty() || maxSteps != 0; }
};

// Set before a run; read when the machine starts.
Observation& observation();

// Whether the last run was ended by the step limit (its value is then "Z").
bool& stepLimitReached();

// The profile and the folded stacks of the runs observed so far, written once when
// the process ends, whichever way: the normal end, a report that ends the run, a stop
// signal. Later calls do nothing, and so does a call when no run started. A folded
// file that cannot be written is said on standard error; the status stays the run's.
void writeObservations();

// For the session: the profile table of what ran since the last reset, and a reset.
std::string profileTable();
void resetObservations();

}  // namespace eval
