// Timing of job runs for the benchmarks: wall time and the CPU time (user and system) of the child
// processes a run waited for, and the median of many runs.
#pragma once

#include <functional>
#include <vector>

namespace vorlabws::bench {

struct Measure {
  double wall = 0;  // seconds
  double cpu = 0;   // seconds of user and system time of the waited-for processes
};

// Times `run`, which starts its processes and waits for them.
Measure Time(const std::function<void()>& run);

// The median wall time and the median CPU time, each on its own.
Measure Median(std::vector<Measure> measures);

// One line: the name, the wall time and the CPU time in milliseconds.
void Report(const char* name, const Measure& measure);

}  // namespace vorlabws::bench
