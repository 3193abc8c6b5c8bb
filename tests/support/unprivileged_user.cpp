#include "tests/support/unprivileged_user.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "platform/code_page.h"

namespace vorlabws::testing {
namespace {

constexpr uid_t kNobody = 65534;

}  // namespace

std::vector<std::string> AsUnprivilegedUser(const std::vector<std::string>& command) {
  if (::geteuid() != 0) return command;
  std::vector<std::string> wrapped = {"/usr/bin/setpriv", "--reuid=" + std::to_string(kNobody),
                                      "--regid=" + std::to_string(kNobody), "--clear-groups", "--"};
  wrapped.insert(wrapped.end(), command.begin(), command.end());
  return wrapped;
}

ProcessResult RunUnattended(const std::vector<std::string>& command) {
  StartOptions options;
  options.new_session = true;
  options.removed_environment = {"DISPLAY", "WAYLAND_DISPLAY"};
  std::vector<std::u16string> arguments;
  for (size_t i = 1; i < command.size(); ++i) arguments.push_back(Utf8ToUtf16(command[i]));
  return RunProcess(Utf8ToUtf16(command.front()), arguments, options);
}

std::string RunUnprivileged(const std::function<std::string()>& work) {
  if (::geteuid() != 0) return work();
  int channel[2];
  if (::pipe(channel) != 0) throw std::runtime_error("pipe failed");
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    ::close(channel[0]);
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
      ::_exit(126);
    }
    std::string result;
    try {
      result = work();
    } catch (...) {
      ::_exit(2);  // never back into the test program's own flow
    }
    const bool sent =
        ::write(channel[1], result.data(), result.size()) == static_cast<ssize_t>(result.size());
    ::_exit(sent ? 0 : 1);
  }
  ::close(channel[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
    if (got > 0) result.append(buffer, static_cast<size_t>(got));
    if (got < 0 && errno != EINTR) break;
  }
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("the unprivileged work did not finish");
  }
  return result;
}

}  // namespace vorlabws::testing
