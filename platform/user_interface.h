// Modal message boxes and forms for the interactive user at the workstation. One form of the
// interface is picked per run, on first use: a window when a display answers; else a dialog on
// the controlling terminal; else, with no one to answer, each box is one line on standard error
// and every form closes unconfirmed, so the run never waits for nobody.
#pragma once

#include <string>

#include "platform/forms.h"

namespace vorlabws {

enum class BoxKind { kPlain, kError };

// One form of the interface.
class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // A modal box with one OK button; returns once it has been dismissed.
  virtual void ShowBox(BoxKind kind, const std::u16string& caption, const std::u16string& text) = 0;
  // Shows the form, running its handlers as the user works it, and returns once it has closed.
  virtual void ShowModal(TForm& form) = 0;
};

// The form of this run, picked on the first call.
UserInterface& CurrentUserInterface();

// Puts `replacement` in the place of the run's interface for as long as it lives.
class ScopedUserInterface {
 public:
  explicit ScopedUserInterface(UserInterface& replacement);
  ScopedUserInterface(const ScopedUserInterface&) = delete;
  ScopedUserInterface& operator=(const ScopedUserInterface&) = delete;
  ~ScopedUserInterface();

 private:
  UserInterface* previous_;
};

// An error box captioned "Errore" (the job runner's and the manifest's boxes).
void ShowErrorBox(const std::u16string& text);

// A plain box captioned with the program title (the locator's boxes).
void ShowPlainBox(const std::u16string& text);

// The executable's file name up to its first ".", every character after the first in lower case.
std::u16string ProgramTitle();

}  // namespace vorlabws
