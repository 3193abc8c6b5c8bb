#include "tests/support/virtual_display.h"

#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "platform/code_page.h"

namespace vorlabws::testing {
namespace {

constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr auto kToolLimit = std::chrono::seconds(20);

StartOptions XvfbOptions() {
  StartOptions options;
  options.capture_output = true;  // Xvfb tells its display number on standard output
  return options;
}

// Xvfb writes the display number it chose, then a line end, to the descriptor named by -displayfd.
std::string ReadDisplayNumber(int fd) {
  std::string number;
  const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
  while (number.empty() || number.back() != '\n') {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd watch{fd, POLLIN, 0};
    char c;
    if (left.count() <= 0 || ::poll(&watch, 1, static_cast<int>(left.count())) <= 0 ||
        ::read(fd, &c, 1) != 1) {
      throw std::runtime_error("Xvfb did not tell its display number");
    }
    number.push_back(c);
  }
  number.pop_back();
  return number;
}

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};

}  // namespace

// Without -noreset the server would reset whenever its last client leaves, refusing connections
// for a moment.
VirtualDisplay::VirtualDisplay()
    : server_(u"/usr/bin/Xvfb",
              {u"-displayfd", u"1", u"-screen", u"0",
               Utf8ToUtf16(std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24"),
               u"-nolisten", u"tcp", u"-noreset"},
              XvfbOptions()),
      name_(":" + ReadDisplayNumber(server_.stdout_fd())) {}

// Ended politely, Xvfb removes its lock file and socket.
VirtualDisplay::~VirtualDisplay() { server_.Terminate(std::chrono::seconds(5)); }

std::string VirtualDisplay::Run(const std::string& program,
                                std::vector<std::string> arguments) const {
  StartOptions options;
  options.environment = {{"DISPLAY", name_}};
  std::vector<std::u16string> wide;
  for (const std::string& argument : arguments) wide.push_back(Utf8ToUtf16(argument));
  const ProcessResult result =
      RunProcess(Utf8ToUtf16(program), wide, options, "",
                 std::chrono::duration_cast<std::chrono::milliseconds>(kToolLimit));
  if (result.timed_out || result.exit_code != 0) {
    throw std::runtime_error(program + " failed: " + result.standard_error);
  }
  return result.standard_output;
}

std::string VirtualDisplay::WaitForWindow(const std::string& title) const {
  std::istringstream ids(
      Run("/usr/bin/xdotool", {"search", "--sync", "--onlyvisible", "--name", "^" + title + "$"}));
  std::string id, last;
  while (ids >> id) last = id;
  return last;
}

void VirtualDisplay::Type(const std::string& window, const std::string& text) const {
  Run("/usr/bin/xdotool", {"windowfocus", "--sync", window, "type", "--delay", "20", text});
}

void VirtualDisplay::Press(const std::string& window, const std::string& keys) const {
  std::vector<std::string> arguments = {"windowfocus", "--sync", window, "key"};
  std::istringstream names(keys);
  for (std::string name; names >> name;) arguments.push_back(name);
  Run("/usr/bin/xdotool", arguments);
}

void VirtualDisplay::ClickCloseBox(const std::string& window) const {
  std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(name_.c_str()));
  if (!display) throw std::runtime_error("cannot open display " + name_);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = std::stoul(window);
  event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] =
      static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display.get(), event.xclient.window, False, NoEventMask, &event);
  XFlush(display.get());
}

VirtualDisplay::Geometry VirtualDisplay::WindowGeometry(const std::string& window) const {
  std::istringstream lines(Run("/usr/bin/xdotool", {"getwindowgeometry", "--shell", window}));
  Geometry geometry;
  for (std::string line; std::getline(lines, line);) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const int value = std::stoi(line.substr(equals + 1));
    if (key == "X") geometry.x = value;
    if (key == "Y") geometry.y = value;
    if (key == "WIDTH") geometry.width = value;
    if (key == "HEIGHT") geometry.height = value;
  }
  return geometry;
}

void VirtualDisplay::Photograph(const std::string& window, const std::string& path) const {
  Run("/usr/bin/import", {"-window", window, path});
}

}  // namespace vorlabws::testing
