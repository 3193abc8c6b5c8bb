// A pool of worker processes as a busy host keeps it: the jobs wait in a queue and every place of
// the pool runs one worker at a time, starting the next job the moment its worker ends, so that
// `size` workers run at once until the queue is empty. The pool owns its threads (one per place)
// and joins them when it goes; each worker is a child process of its own.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/process.h"
#include "tests/support/test_support.h"

namespace vorlabws::testing {

using WallClock = std::chrono::steady_clock;

struct PooledRun {
  WorkerRun run;
  WallClock::time_point started;
  WallClock::time_point ended;
  double Seconds() const;
};

struct PoolReport {
  std::vector<PooledRun> runs;  // in the order of the jobs
  double seconds = 0;           // from the pool's start until its last worker ended
  size_t peak = 0;              // the most workers that ran at one moment
  // The workers' wall times added up, over the pool's: how many ran at once on average.
  double AverageRunning() const;
};

class WorkerPool {
 public:
  // Starts at once as many of the jobs (each the worker's arguments) as the pool has places.
  WorkerPool(const std::string& executable, std::vector<std::vector<std::string>> jobs, size_t size,
             const StartOptions& options);
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Waits until every job has ended.
  PoolReport Wait();

 private:
  void RunPlace();

  const std::string executable_;
  const std::vector<std::vector<std::string>> jobs_;
  const StartOptions options_;
  const WallClock::time_point started_ = WallClock::now();
  std::mutex mutex_;  // guards what follows
  size_t next_ = 0;
  PoolReport report_;
  std::vector<std::jthread> places_;  // last, so the threads go before what they use
};

}  // namespace vorlabws::testing
