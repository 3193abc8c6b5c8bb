// The true floor of a DHL label job: dhl_floor PLAN. Besides the database steps, "relay EXE ARG..."
// starts the relay and waits for its end, as the worker does. Ends with _exit once the job is done.
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "bench/floor/floor_plan.h"

extern char** environ;

namespace {

bool RunRelay(const vorlabws::bench::PlanStep& step) {
  if (step.kind != "relay" || step.fields.empty()) return false;
  std::vector<std::string> texts = step.fields;
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    vorlabws::bench::Fail("cannot start " + step.fields[0]);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    vorlabws::bench::Fail("the relay failed");
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) vorlabws::bench::Fail("usage: dhl_floor PLAN");
  vorlabws::bench::RunPlan(argv[1], RunRelay);
}
