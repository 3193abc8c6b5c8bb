#include "platform/user_interface.h"

#include <memory>

#include "platform/code_page.h"
#include "platform/program_folder.h"
#include "platform/trace.h"
#include "platform/user_interface/interfaces.h"

namespace vorlabws {
namespace {

UserInterface* replacement = nullptr;

std::unique_ptr<UserInterface> PickUserInterface() {
  if (std::unique_ptr<UserInterface> window = ConnectWindowInterface()) return window;
  if (std::unique_ptr<UserInterface> terminal = OpenTerminalInterface()) return terminal;
  return MakeStandardErrorInterface();
}

}  // namespace

UserInterface& CurrentUserInterface() {
  if (replacement != nullptr) return *replacement;
  static const std::unique_ptr<UserInterface> picked = PickUserInterface();
  return *picked;
}

ScopedUserInterface::ScopedUserInterface(UserInterface& replacement_interface)
    : previous_(replacement) {
  replacement = &replacement_interface;
}

ScopedUserInterface::~ScopedUserInterface() { replacement = previous_; }

void ShowErrorBox(const std::u16string& text) {
  Trace("error box Errore", Utf16ToUtf8(text));
  CurrentUserInterface().ShowBox(BoxKind::kError, u"Errore", text);
}

void ShowPlainBox(const std::u16string& text) {
  const std::u16string caption = ProgramTitle();
  Trace("box " + Utf16ToUtf8(caption), Utf16ToUtf8(text));
  CurrentUserInterface().ShowBox(BoxKind::kPlain, caption, text);
}

std::u16string ProgramTitle() {
  std::u16string name = ProgramFileName();
  name = name.substr(0, name.find(u'.'));
  for (size_t i = 1; i < name.size(); ++i) {
    if (name[i] >= u'A' && name[i] <= u'Z') name[i] = name[i] - u'A' + u'a';
  }
  return name;
}

}  // namespace vorlabws
