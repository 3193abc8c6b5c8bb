// Timing of job runs for the benchmarks: wall time and the CPU time (user and system) of the child
// processes a run waited for, the median of many runs, and a job beside its floor.
#pragma once

#include <functional>
#include <string>
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

struct TimedRun {
  const char* name;
  std::function<void()> run;
};

// Runs the worker and the two parts of its floor one after the other, `runs` times, and reports
// under `title` the medians of each, of the floor (both parts, run by run) and the ratios.
void CompareWithFloor(const std::string& title, int runs, const TimedRun& worker,
                      const TimedRun& statements, const TimedRun& exchanges,
                      const char* floor_name);

}  // namespace vorlabws::bench
