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

void CompareWithFloor(const std::string& title, int runs, const TimedRun& worker,
                      const TimedRun& statements, const TimedRun& exchanges,
                      const char* floor_name) {
  std::vector<Measure> worker_runs, statements_runs, exchanges_runs, floor_runs;
  for (int i = 0; i < runs; ++i) {
    worker_runs.push_back(Time(worker.run));
    const Measure statement = Time(statements.run);
    const Measure exchange = Time(exchanges.run);
    statements_runs.push_back(statement);
    exchanges_runs.push_back(exchange);
    floor_runs.push_back({statement.wall + exchange.wall, statement.cpu + exchange.cpu});
  }
  const Measure w = Median(worker_runs), f = Median(floor_runs);
  std::printf("%s, median of %d runs:\n", title.c_str(), runs);
  Report(worker.name, w);
  Report(statements.name, Median(statements_runs));
  Report(exchanges.name, Median(exchanges_runs));
  Report(floor_name, f);
  std::printf("  ratio worker / floor: wall %.2f, cpu %.2f\n\n", w.wall / f.wall, w.cpu / f.cpu);
}

}  // namespace vorlabws::bench
