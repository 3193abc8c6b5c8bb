#include "tests/support/terminal_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace vorlabws::testing {
namespace {

constexpr auto kLimit = std::chrono::seconds(20);

std::vector<std::string> EnvironmentWithout(const std::vector<std::string>& removed) {
  std::vector<std::string> kept;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    bool drop = false;
    for (const std::string& name : removed) drop = drop || text.rfind(name + "=", 0) == 0;
    if (!drop) kept.push_back(text);
  }
  return kept;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

TerminalSession::TerminalSession(const std::vector<std::string>& command,
                                 const std::vector<std::string>& removed) {
  terminal_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminal_ < 0 || ::grantpt(terminal_) != 0 || ::unlockpt(terminal_) != 0) {
    throw std::runtime_error("no pseudo-terminal");
  }
  const std::string device = ::ptsname(terminal_);
  std::vector<std::string> arguments = command;
  std::vector<std::string> environment = EnvironmentWithout(removed);
  std::vector<char*> argv = Pointers(arguments);
  std::vector<char*> envp = Pointers(environment);
  child_ = ::fork();
  if (child_ < 0) throw std::runtime_error("fork failed");
  if (child_ == 0) {
    // A new session whose first terminal opened becomes its controlling terminal.
    ::setsid();
    const int user_side = ::open(device.c_str(), O_RDWR);
    if (user_side < 0) ::_exit(126);
    ::ioctl(user_side, TIOCSCTTY, 0);
    ::dup2(user_side, 0);
    ::dup2(user_side, 1);
    ::dup2(user_side, 2);
    if (user_side > 2) ::close(user_side);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
}

TerminalSession::~TerminalSession() {
  if (child_ > 0) {
    ::kill(child_, SIGKILL);
    ::waitpid(child_, nullptr, 0);
  }
  ::close(terminal_);
}

void TerminalSession::Type(const std::string& text) {
  if (::write(terminal_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    throw std::runtime_error("cannot type into the terminal");
  }
}

bool TerminalSession::Read(int milliseconds) {
  pollfd watch{terminal_, POLLIN, 0};
  if (::poll(&watch, 1, milliseconds) <= 0) return true;
  char buffer[4096];
  const ssize_t got = ::read(terminal_, buffer, sizeof buffer);
  if (got < 0) return errno == EINTR;  // EIO: the program has let go of the terminal
  if (got == 0) return false;
  output_.append(buffer, static_cast<size_t>(got));
  return true;
}

void TerminalSession::WaitFor(const std::string& text) {
  const auto deadline = std::chrono::steady_clock::now() + kLimit;
  for (;;) {
    const size_t at = output_.find(text, found_);
    if (at != std::string::npos) {
      found_ = at + text.size();
      return;
    }
    if (std::chrono::steady_clock::now() > deadline || !Read(100)) {
      throw std::runtime_error("the terminal never showed \"" + text + "\"; it showed:\n" +
                               output_);
    }
  }
}

int TerminalSession::Wait() {
  const auto deadline = std::chrono::steady_clock::now() + kLimit;
  while (Read(100)) {
    if (std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error("the program did not end; the terminal showed:\n" + output_);
    }
  }
  int status = 0;
  ::waitpid(child_, &status, 0);
  child_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace vorlabws::testing
