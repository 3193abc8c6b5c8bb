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

// What a job is compared with: the true floor (a program on the raw client API doing exactly the
// job's work, then ending at once) and the tools' floor (isql-fb running the job's statements,
// plus the tool making the job's exchanges).
struct JobFloors {
  TimedRun true_floor;
  TimedRun statements;
  TimedRun exchanges;
  const char* tools_floor_name;
  // At most this share of the tools' floor in wall time, where the job has such a target.
  double tools_wall_target = 0;
};

// Runs the worker and its floors interleaved, `runs` times, and reports under `title` the medians
// of each, of the tools' floor (both parts, run by run) and the ratios beside their targets.
void CompareWithFloors(const std::string& title, int runs, const TimedRun& worker,
                       const JobFloors& floors);

}  // namespace vorlabws::bench
