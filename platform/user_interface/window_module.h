// The window module's one entry. The module is a file of its own in the program folder, so the
// window toolkit is mapped only by runs that show a window; the caller owns what the entry returns.
#pragma once

#include "platform/user_interface.h"

namespace vorlabws {

inline constexpr char kWindowModuleFile[] = "vorlabws-window.so";
inline constexpr char kWindowModuleEntry[] = "VorlabwsConnectWindows";

}  // namespace vorlabws

// Windows on the X display named by DISPLAY; null when the connection fails.
extern "C" vorlabws::UserInterface* VorlabwsConnectWindows();
