// An X display of a test's own: Xvfb on a free display number, without a window manager, ended
// when the object goes, so nothing is left running. Windows on it are found by title and worked
// with xdotool as a user would: focus, keys, typing, the close box; and photographed.
#pragma once

#include <string>
#include <vector>

#include "platform/process.h"

namespace vorlabws::testing {

class VirtualDisplay {
 public:
  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 768;

  VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;
  ~VirtualDisplay();

  // ":<number>", the value of DISPLAY for a program that shows its windows here.
  const std::string& name() const { return name_; }

  // The id of the window titled exactly `title`, once one is shown; raises after 20 seconds.
  std::string WaitForWindow(const std::string& title) const;
  // Gives the window the keyboard focus, then types the text or presses the keys, named as
  // xdotool names them and separated by blanks ("Tab Return").
  void Type(const std::string& window, const std::string& text) const;
  void Press(const std::string& window, const std::string& keys) const;
  // What a window manager sends when the user clicks the window's close box.
  void ClickCloseBox(const std::string& window) const;

  struct Geometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
  };
  Geometry WindowGeometry(const std::string& window) const;
  // A PNG of the window's client area.
  void Photograph(const std::string& window, const std::string& path) const;

 private:
  std::string Run(const std::string& program, std::vector<std::string> arguments) const;

  ChildProcess server_;
  std::string name_;
};

}  // namespace vorlabws::testing
