// The program folder: the folder of the running executable, with its final separator, against
// which every relative file name of the worker (templates, data files, the relay) is resolved.
#pragma once

#include <string>

namespace vorlabws {

// Read from /proc/self/exe, the executable's real path with every symbolic link resolved, so a
// worker started through a link (/usr/bin/VorlabWS) finds the folder it is installed in; ends with
// "/". Never the working folder.
std::u16string ProgramFolder();

// The executable's file name without folder ("VorlabWS").
std::u16string ProgramFileName();

}  // namespace vorlabws
