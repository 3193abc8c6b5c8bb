// Child processes: start an executable with exact arguments (never split at blanks) and with no
// descriptor of this process but standard input, output and error, wait for it with a bound and
// without spinning, end it. A ChildProcess owns its child and reaps it when it goes; RunProcess
// runs one to its end and captures what it printed. EndProcessNow ends this one.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/failure.h"
#include "platform/trace.h"

namespace vorlabws {

class ProcessError : public Failure {
 public:
  using Failure::Failure;
};

struct StartOptions {
  // Variables set (or replaced) in the child's copy of this process's environment.
  std::vector<std::pair<std::string, std::string>> environment;
  // Variables left out of the child's environment.
  std::vector<std::string> removed_environment;
  // Starts the child in a session of its own, without a controlling terminal.
  bool new_session = false;
  // Pipes for standard input, output and error (else inherited). Used by RunProcess.
  bool capture_output = false;
  // A pipe for standard error alone, which the ChildProcess reads while it waits (see
  // StandardError); standard input and output stay inherited. Not together with capture_output.
  bool capture_standard_error = false;
  // Files the child works on, whose names and sizes the trace shows when it starts and ends.
  std::vector<std::u16string> traced_files;
};

class ChildProcess {
 public:
  // Raises ProcessError when the executable cannot be started (missing, not executable).
  ChildProcess(const std::u16string& executable, const std::vector<std::u16string>& arguments,
               const StartOptions& options = {});
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&&) = delete;
  ~ChildProcess();  // kills a child still running and reaps it

  // Waits until the child ends or the timeout passes; true when it has ended.
  bool WaitFor(std::chrono::milliseconds timeout);
  // Asks the child to end (SIGTERM), then kills it when it has not ended within `grace`.
  void Terminate(std::chrono::milliseconds grace);

  bool Running() const { return !status_.has_value(); }
  // The exit code, or 128 + signal number for a child ended by a signal. Only after it ended.
  int ExitCode() const;

  // What the child wrote to standard error while it was waited for, up to kStandardErrorLimit bytes
  // (the rest is read and dropped); only with capture_standard_error. Once the child has ended,
  // only what is already written is read: a descendant may hold the pipe open for ever.
  const std::string& StandardError() const { return standard_error_; }
  static constexpr size_t kStandardErrorLimit = 16384;

  int stdin_fd() const { return stdin_fd_; }
  int stdout_fd() const { return stdout_fd_; }
  int stderr_fd() const { return stderr_fd_; }
  void CloseStdin();

 private:
  bool Reap(bool block);
  // Sleeps until the child ends, its standard error has something to read, or `timeout` passes.
  void Sleep(std::chrono::milliseconds timeout);
  // Reads what standard error holds now, without waiting for more.
  void CollectStandardError();
  // Shows the collected standard error in the trace, once the child has ended.
  void TraceStandardError() const;

  pid_t pid_ = -1;
  int pidfd_ = -1;
  int stdin_fd_ = -1;
  int stdout_fd_ = -1;
  int stderr_fd_ = -1;
  int collected_stderr_fd_ = -1;  // the read end of capture_standard_error's pipe
  std::string standard_error_;
  std::optional<int> status_;
  TraceStopwatch started_;
  std::vector<std::u16string> traced_files_;
  bool traces_standard_error_ = false;
};

struct ProcessResult {
  int exit_code = -1;
  bool timed_out = false;
  std::string standard_output;
  std::string standard_error;
};

// Runs the executable to its end with `input` on its standard input, capturing its output. A child
// still running after `timeout` is killed and reported as timed out.
ProcessResult RunProcess(const std::u16string& executable,
                         const std::vector<std::u16string>& arguments, StartOptions options = {},
                         const std::string& input = {},
                         std::chrono::milliseconds timeout = std::chrono::minutes(5));

// Flushes standard output and error, then ends this process at once with `exit_code`: no exit
// handlers, no destructors of static objects, no teardown of the libraries. Only for the very end
// of a program, once everything it owns has been released (children reaped, files closed,
// connections detached).
[[noreturn]] void EndProcessNow(int exit_code);

}  // namespace vorlabws
