#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>

#include "platform/code_page.h"
#include "platform/trace.h"

extern char** environ;

namespace vorlabws {
namespace {

using Clock = std::chrono::steady_clock;

struct SpawnActionsDeleter {
  void operator()(posix_spawn_file_actions_t* actions) const {
    posix_spawn_file_actions_destroy(actions);
    delete actions;
  }
};

struct SpawnAttributesDeleter {
  void operator()(posix_spawnattr_t* attributes) const {
    posix_spawnattr_destroy(attributes);
    delete attributes;
  }
};

std::chrono::milliseconds Remaining(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return std::max(left, std::chrono::milliseconds(0));
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Both ends of a pipe, closed on scope exit unless released.
struct Pipe {
  int read_end = -1;
  int write_end = -1;
  Pipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw ProcessError(std::string("pipe: ") + strerror(errno));
    read_end = fds[0];
    write_end = fds[1];
  }
  ~Pipe() {
    CloseFd(read_end);
    CloseFd(write_end);
  }
  int Release(int& end) {
    const int fd = end;
    end = -1;
    return fd;
  }
};

std::vector<std::string> ChildEnvironment(const StartOptions& options) {
  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const size_t equals = text.find('=');
    if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : options.environment) variables[name] = value;
  for (const std::string& name : options.removed_environment) variables.erase(name);
  std::vector<std::string> out;
  for (const auto& [name, value] : variables) out.push_back(name + "=" + value);
  return out;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

std::string WorkingFolder() {
  std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
  return folder ? folder.get() : std::string("(unknown: ") + std::strerror(errno) + ")";
}

// One line per file the child works on: its name and size, or that it is absent.
std::string FileSizes(const std::vector<std::u16string>& files) {
  std::string text;
  for (const std::u16string& file : files) {
    const std::string path = Utf16ToUtf8(file);
    struct stat facts {};
    text += path + ": " +
            (::stat(path.c_str(), &facts) == 0 ? std::to_string(facts.st_size) + " bytes"
                                               : std::string("absent")) +
            "\n";
  }
  return text;
}

std::string SignalName(int signal) {
  const char* name = sigabbrev_np(signal);
  return name != nullptr ? name : "?";
}

int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
  return -1;
#endif
}

}  // namespace

ChildProcess::ChildProcess(const std::u16string& executable,
                           const std::vector<std::u16string>& arguments,
                           const StartOptions& options) {
  const std::string path = Utf16ToUtf8(executable);
  std::vector<std::string> argv_texts{path};
  for (const auto& argument : arguments) argv_texts.push_back(Utf16ToUtf8(argument));
  std::vector<std::string> env_texts = ChildEnvironment(options);
  std::vector<char*> argv = Pointers(argv_texts);
  std::vector<char*> envp = Pointers(env_texts);

  std::unique_ptr<posix_spawn_file_actions_t, SpawnActionsDeleter> actions(
      new posix_spawn_file_actions_t);
  posix_spawn_file_actions_init(actions.get());
  std::optional<Pipe> in, out, err;
  if (options.capture_output) {
    in.emplace();
    out.emplace();
    err.emplace();
    posix_spawn_file_actions_adddup2(actions.get(), in->read_end, 0);
    posix_spawn_file_actions_adddup2(actions.get(), out->write_end, 1);
    posix_spawn_file_actions_adddup2(actions.get(), err->write_end, 2);
  } else if (options.capture_standard_error) {
    err.emplace();
    posix_spawn_file_actions_adddup2(actions.get(), err->write_end, 2);
  }
  // Nothing of this process beyond the three standard streams: a child (or a descendant it leaves
  // behind) holding the database file, the engine's lock files or a socket would keep them busy.
  if (const int error = posix_spawn_file_actions_addclosefrom_np(actions.get(), 3); error != 0) {
    throw ProcessError(std::string("posix_spawn_file_actions_addclosefrom_np: ") +
                       std::strerror(error));
  }
  std::unique_ptr<posix_spawnattr_t, SpawnAttributesDeleter> attributes(new posix_spawnattr_t);
  posix_spawnattr_init(attributes.get());
  if (options.new_session) posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETSID);
  const int error =
      ::posix_spawn(&pid_, path.c_str(), actions.get(), attributes.get(), argv.data(), envp.data());
  if (error != 0) {
    pid_ = -1;
    const std::string message = "Cannot start " + path + ": " + std::strerror(error);
    Trace("process not started: " + message);
    throw ProcessError(message);
  }
  if (TraceOn()) {
    traced_files_ = options.traced_files;
    traces_standard_error_ = options.capture_standard_error;
    Trace("process " + std::to_string(pid_) + " started",
          "command line: " + TraceCommandLine(argv_texts) + "\nworking folder: " + WorkingFolder() +
              "\n" + FileSizes(traced_files_));
  }
  pidfd_ = OpenPidFd(pid_);
  if (options.capture_output) {
    stdin_fd_ = in->Release(in->write_end);
    stdout_fd_ = out->Release(out->read_end);
    stderr_fd_ = err->Release(err->read_end);
  } else if (options.capture_standard_error) {
    collected_stderr_fd_ = err->Release(err->read_end);
    // Reads must never wait: the child's end stays blocking, this end is a separate description.
    ::fcntl(collected_stderr_fd_, F_SETFL, O_NONBLOCK);
  }
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      pidfd_(std::exchange(other.pidfd_, -1)),
      stdin_fd_(std::exchange(other.stdin_fd_, -1)),
      stdout_fd_(std::exchange(other.stdout_fd_, -1)),
      stderr_fd_(std::exchange(other.stderr_fd_, -1)),
      collected_stderr_fd_(std::exchange(other.collected_stderr_fd_, -1)),
      standard_error_(std::move(other.standard_error_)),
      status_(other.status_),
      started_(other.started_),
      traced_files_(std::move(other.traced_files_)),
      traces_standard_error_(other.traces_standard_error_) {}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && Running()) {
    Trace("process " + std::to_string(pid_) + " killed (SIGKILL)");
    ::kill(pid_, SIGKILL);
    Reap(true);
  }
  CloseFd(pidfd_);
  CloseFd(stdin_fd_);
  CloseFd(stdout_fd_);
  CloseFd(stderr_fd_);
  CloseFd(collected_stderr_fd_);
}

bool ChildProcess::Reap(bool block) {
  if (!Running()) return true;
  int status = 0;
  pid_t got;
  do {
    got = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
  } while (got < 0 && errno == EINTR);
  if (got != pid_) return false;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (TraceOn()) {
    const std::string end = WIFEXITED(status) ? "exit code " + std::to_string(WEXITSTATUS(status))
                                              : "signal " + std::to_string(WTERMSIG(status)) +
                                                    " (SIG" + SignalName(WTERMSIG(status)) + ")";
    Trace("process " + std::to_string(pid_) + " ended in " + started_.Elapsed() + ": " + end,
          FileSizes(traced_files_));
  }
  return true;
}

bool ChildProcess::WaitFor(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!Reap(false)) {
    const auto left = Remaining(deadline);
    if (left.count() == 0) return false;
    Sleep(left);
  }
  CollectStandardError();
  TraceStandardError();
  return true;
}

void ChildProcess::TraceStandardError() const {
  if (traces_standard_error_) {
    Trace("process " + std::to_string(pid_) + " standard error", TraceBody(standard_error_));
  }
}

void ChildProcess::Sleep(std::chrono::milliseconds timeout) {
  pollfd watch[2];
  nfds_t count = 0;
  if (pidfd_ >= 0) {
    // The pid file descriptor turns readable when the child ends: no polling loop.
    watch[count++] = {pidfd_, POLLIN, 0};
  } else {
    timeout = std::min(timeout, std::chrono::milliseconds(10));
  }
  if (collected_stderr_fd_ >= 0) watch[count++] = {collected_stderr_fd_, POLLIN, 0};
  ::poll(watch, count, static_cast<int>(timeout.count()));
  CollectStandardError();
}

void ChildProcess::CollectStandardError() {
  while (collected_stderr_fd_ >= 0) {
    char buffer[4096];
    const ssize_t got = ::read(collected_stderr_fd_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno == EAGAIN) return;
    if (got <= 0) {
      CloseFd(collected_stderr_fd_);  // every writer has let go, or the pipe has failed
      return;
    }
    const size_t room = kStandardErrorLimit - standard_error_.size();
    standard_error_.append(buffer, std::min(static_cast<size_t>(got), room));
  }
}

void ChildProcess::Terminate(std::chrono::milliseconds grace) {
  if (!Running()) return;
  Trace("process " + std::to_string(pid_) + " asked to end (SIGTERM)");
  ::kill(pid_, SIGTERM);
  if (WaitFor(grace)) return;
  Trace("process " + std::to_string(pid_) + " killed (SIGKILL)");
  ::kill(pid_, SIGKILL);
  Reap(true);
  CollectStandardError();
  TraceStandardError();
}

int ChildProcess::ExitCode() const {
  if (!status_) throw ProcessError("The process has not ended yet");
  return *status_;
}

void ChildProcess::CloseStdin() { CloseFd(stdin_fd_); }

ProcessResult RunProcess(const std::u16string& executable,
                         const std::vector<std::u16string>& arguments, StartOptions options,
                         const std::string& input, std::chrono::milliseconds timeout) {
  options.capture_output = true;
  ChildProcess child(executable, arguments, options);
  ProcessResult result;
  const auto deadline = Clock::now() + timeout;
  size_t written = 0;
  if (input.empty()) child.CloseStdin();
  std::vector<pollfd> watch;
  bool out_open = true, err_open = true;
  while (out_open || err_open) {
    watch.clear();
    if (out_open) watch.push_back({child.stdout_fd(), POLLIN, 0});
    if (err_open) watch.push_back({child.stderr_fd(), POLLIN, 0});
    if (child.stdin_fd() >= 0) watch.push_back({child.stdin_fd(), POLLOUT, 0});
    const auto left = Remaining(deadline);
    if (left.count() == 0) {
      result.timed_out = true;
      break;
    }
    if (::poll(watch.data(), watch.size(), static_cast<int>(left.count())) < 0 && errno != EINTR) {
      throw ProcessError(std::string("poll: ") + std::strerror(errno));
    }
    for (const pollfd& entry : watch) {
      if (entry.revents == 0) continue;
      if (entry.fd == child.stdin_fd()) {
        const ssize_t put = ::write(entry.fd, input.data() + written, input.size() - written);
        if (put > 0) written += static_cast<size_t>(put);
        if (put < 0 || written == input.size()) child.CloseStdin();
        continue;
      }
      char buffer[65536];
      const ssize_t got = ::read(entry.fd, buffer, sizeof buffer);
      const bool is_out = entry.fd == child.stdout_fd();
      if (got > 0) {
        (is_out ? result.standard_output : result.standard_error).append(buffer, got);
      } else if (got == 0 || errno != EINTR) {
        (is_out ? out_open : err_open) = false;
      }
    }
  }
  if (result.timed_out || !child.WaitFor(Remaining(deadline))) {
    result.timed_out = true;
    child.Terminate(std::chrono::milliseconds(500));
  }
  result.exit_code = child.ExitCode();
  return result;
}

void EndProcessNow(int exit_code) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(stdout);
  std::fflush(stderr);
  ::_exit(exit_code);
}

}  // namespace vorlabws
