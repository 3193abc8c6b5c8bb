#include "tests/load/worker_pool.h"

#include <algorithm>

namespace vorlabws::testing {

namespace {

double SecondsBetween(WallClock::time_point from, WallClock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// The most runs under way at one moment; a run that ends as another starts does not overlap it.
size_t Peak(const std::vector<PooledRun>& runs) {
  std::vector<std::pair<WallClock::time_point, int>> changes;
  for (const PooledRun& run : runs) {
    changes.push_back({run.started, +1});
    changes.push_back({run.ended, -1});
  }
  std::sort(changes.begin(), changes.end());
  size_t running = 0, peak = 0;
  for (const auto& [when, change] : changes) {
    running += change;
    peak = std::max(peak, running);
  }
  return peak;
}

}  // namespace

double PooledRun::Seconds() const { return SecondsBetween(started, ended); }

double PoolReport::AverageRunning() const {
  double busy = 0;
  for (const PooledRun& run : runs) busy += run.Seconds();
  return seconds > 0 ? busy / seconds : 0;
}

WorkerPool::WorkerPool(const std::string& executable, std::vector<std::vector<std::string>> jobs,
                       size_t size, const StartOptions& options)
    : executable_(executable), jobs_(std::move(jobs)), options_(options) {
  report_.runs.resize(jobs_.size());
  for (size_t place = 0; place < std::min(size, jobs_.size()); ++place) {
    places_.emplace_back([this] { RunPlace(); });
  }
}

PoolReport WorkerPool::Wait() {
  places_.clear();  // joins every place
  WallClock::time_point last_end = started_;
  for (const PooledRun& run : report_.runs) last_end = std::max(last_end, run.ended);
  report_.seconds = SecondsBetween(started_, last_end);
  report_.peak = Peak(report_.runs);
  return report_;
}

void WorkerPool::RunPlace() {
  for (;;) {
    size_t job = 0;
    {
      const std::lock_guard lock(mutex_);
      if (next_ == jobs_.size()) return;
      job = next_++;
    }
    PooledRun pooled;
    pooled.started = WallClock::now();
    try {
      pooled.run = RunWorkerAt(executable_, jobs_[job], options_);
    } catch (const std::exception& failure) {
      pooled.run.standard_error = std::string("not run: ") + failure.what();
    }
    pooled.ended = WallClock::now();
    const std::lock_guard lock(mutex_);
    report_.runs[job] = std::move(pooled);
  }
}

}  // namespace vorlabws::testing
