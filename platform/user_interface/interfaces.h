// The three forms of the user interface, tried in this order when a run first needs one.
#pragma once

#include <memory>
#include <string>

#include "platform/user_interface.h"

namespace vorlabws {

// Windows on the X display named by DISPLAY (a Wayland session serves one through Xwayland);
// none when no display is named or the connection fails.
std::unique_ptr<UserInterface> ConnectWindowInterface();

// A dialog on the controlling terminal; none when the process has no terminal or runs in its
// background, where reading would stop it.
std::unique_ptr<UserInterface> OpenTerminalInterface();

// No one to answer: each box is one line on standard error; forms close unconfirmed.
std::unique_ptr<UserInterface> MakeStandardErrorInterface();

// The text in UTF-8 with each line break (CR LF, CR or LF) replaced by `separator`.
std::string TextWithLineBreaks(const std::u16string& text, const std::string& separator);

}  // namespace vorlabws
