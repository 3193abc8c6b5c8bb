// A program run as from a user's shell: its controlling terminal and standard streams are a new
// pseudo-terminal, which the test types into and reads from. The child is killed and reaped if
// it is still running when the session goes.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vorlabws::testing {

class TerminalSession {
 public:
  // `command` starts with the executable's full path; the variables named in `removed` are left
  // out of the child's environment.
  TerminalSession(const std::vector<std::string>& command, const std::vector<std::string>& removed);
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;
  ~TerminalSession();

  // What the user types, line ends as "\n"; "\x04" at the start of a line ends the input.
  void Type(const std::string& text);
  // Waits until `text` shows after what the previous waits found; raises after 20 seconds.
  void WaitFor(const std::string& text);
  // Waits until the program ends and returns its exit code; raises after 20 seconds.
  int Wait();
  // Everything the terminal showed so far, the typed echo included (line ends as "\r\n").
  const std::string& output() const { return output_; }

 private:
  // Reads what the terminal shows within `milliseconds`; false once the program has let go of it.
  bool Read(int milliseconds);

  int terminal_ = -1;  // the controlling side
  pid_t child_ = -1;
  std::string output_;
  size_t found_ = 0;
};

}  // namespace vorlabws::testing
