// Modal message boxes for the interactive user at the workstation. The form is picked once per
// run; with no one to answer (no display, no terminal) the box text goes to standard error as one
// line and the run goes on as if OK had been pressed.
#pragma once

#include <string>

namespace vorlabws {

// An error box with one OK button (the job runner's and the manifest's boxes).
void ShowErrorBox(const std::u16string& text);

// A plain box with one OK button, captioned with the program title (the locator's boxes).
void ShowPlainBox(const std::u16string& text);

// The executable's file name up to its first ".", every character after the first in lower case.
std::u16string ProgramTitle();

}  // namespace vorlabws
