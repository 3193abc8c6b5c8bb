#include "bench/support/job_timing.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace vorlabws::bench {
namespace {

double ChildrenCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

Measure Time(const std::function<void()>& run) {
  const double cpu = ChildrenCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  run();
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  return {wall.count(), ChildrenCpuSeconds() - cpu};
}

Measure Median(std::vector<Measure> measures) {
  const auto middle = [&](auto member) {
    std::sort(measures.begin(), measures.end(),
              [&](const Measure& a, const Measure& b) { return a.*member < b.*member; });
    return measures[measures.size() / 2].*member;
  };
  return {middle(&Measure::wall), middle(&Measure::cpu)};
}

void Report(const char* name, const Measure& measure) {
  std::printf("  %-44s wall %7.1f ms   cpu %7.1f ms\n", name, measure.wall * 1000,
              measure.cpu * 1000);
}

void CompareWithFloors(const std::string& title, int runs, const TimedRun& worker,
                       const JobFloors& floors) {
  constexpr double kTrueFloorTarget = 1.1;
  std::vector<Measure> worker_runs, true_floor_runs, statements_runs, exchanges_runs, tools_runs;
  for (int i = 0; i < runs; ++i) {
    worker_runs.push_back(Time(worker.run));
    true_floor_runs.push_back(Time(floors.true_floor.run));
    const Measure statement = Time(floors.statements.run);
    const Measure exchange = Time(floors.exchanges.run);
    statements_runs.push_back(statement);
    exchanges_runs.push_back(exchange);
    tools_runs.push_back({statement.wall + exchange.wall, statement.cpu + exchange.cpu});
  }
  const Measure w = Median(worker_runs), f = Median(true_floor_runs), t = Median(tools_runs);
  std::printf("%s, median of %d runs:\n", title.c_str(), runs);
  Report(worker.name, w);
  Report(floors.true_floor.name, f);
  Report(floors.statements.name, Median(statements_runs));
  Report(floors.exchanges.name, Median(exchanges_runs));
  Report(floors.tools_floor_name, t);
  std::printf("  ratio worker / true floor: wall %.2f, cpu %.2f   (target: both at most %.2f)\n",
              w.wall / f.wall, w.cpu / f.cpu, kTrueFloorTarget);
  // Each worker run beside the floor run right after it, so that a machine busier for a while
  // weighs on both sides of a ratio alike.
  std::vector<Measure> run_ratios;
  for (int i = 0; i < runs; ++i) {
    run_ratios.push_back({worker_runs[i].wall / true_floor_runs[i].wall,
                          worker_runs[i].cpu / true_floor_runs[i].cpu});
  }
  const Measure paired = Median(run_ratios);
  std::printf("  median of the run-by-run ratios worker / true floor: wall %.2f, cpu %.2f\n",
              paired.wall, paired.cpu);
  std::printf("  ratio worker / tools' floor: wall %.2f, cpu %.2f", w.wall / t.wall, w.cpu / t.cpu);
  if (floors.tools_wall_target > 0) {
    std::printf("   (target: wall at most %.2f)", floors.tools_wall_target);
  }
  std::printf("\n\n");
}

}  // namespace vorlabws::bench
