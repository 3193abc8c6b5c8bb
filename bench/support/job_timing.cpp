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

}  // namespace vorlabws::bench
