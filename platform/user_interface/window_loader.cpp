// Windows come from the window module beside the executable, loaded only when a display is named;
// a module that is missing or cannot load means no window, as a display that does not answer.
#include <dlfcn.h>

#include <utility>

#include "platform/code_page.h"
#include "platform/environment.h"
#include "platform/program_folder.h"
#include "platform/user_interface/interfaces.h"
#include "platform/user_interface/window_module.h"

namespace vorlabws {
namespace {

struct ModuleDeleter {
  void operator()(void* module) const { ::dlclose(module); }
};
using Module = std::unique_ptr<void, ModuleDeleter>;

// The module's interface; the module stays loaded for as long as the interface lives.
class LoadedWindowInterface : public UserInterface {
 public:
  LoadedWindowInterface(Module module, std::unique_ptr<UserInterface> windows)
      : module_(std::move(module)), windows_(std::move(windows)) {}

  void ShowBox(BoxKind kind, const std::u16string& caption, const std::u16string& text) override {
    windows_->ShowBox(kind, caption, text);
  }

  void ShowModal(TForm& form) override { windows_->ShowModal(form); }

 private:
  Module module_;  // declared first, so it is closed after the interface whose code it holds
  std::unique_ptr<UserInterface> windows_;
};

}  // namespace

std::unique_ptr<UserInterface> ConnectWindowInterface() {
  if (!EnvironmentValue("DISPLAY")) return nullptr;
  const std::string path = Utf16ToUtf8(ProgramFolder()) + kWindowModuleFile;
  // Never unmapped: the toolkit's libraries register handlers that outlive the interface.
  Module module(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
  if (!module) return nullptr;
  auto* connect = reinterpret_cast<decltype(&VorlabwsConnectWindows)>(
      ::dlsym(module.get(), kWindowModuleEntry));
  if (connect == nullptr) return nullptr;
  std::unique_ptr<UserInterface> windows(connect());
  if (!windows) return nullptr;
  return std::make_unique<LoadedWindowInterface>(std::move(module), std::move(windows));
}

}  // namespace vorlabws
