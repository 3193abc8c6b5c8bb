#include <cstdio>

#include "platform/code_page.h"
#include "platform/text.h"
#include "platform/user_interface/interfaces.h"

namespace vorlabws {
namespace {

void WriteLine(const std::string& line) {
  const std::string text = line + "\n";
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

class StandardErrorInterface : public UserInterface {
 public:
  void ShowBox(BoxKind, const std::u16string&, const std::u16string& text) override {
    WriteLine(TextWithLineBreaks(text, " "));
  }

  // Says what was asked, so the reader of the log knows why the run went on without an answer.
  void ShowModal(TForm& form) override {
    std::string line = TextWithLineBreaks(form.Caption, " ") + ":";
    for (const TControl* part : form.Controls()) {
      if (const auto* label = dynamic_cast<const TLabel*>(part)) {
        line += " " + TextWithLineBreaks(label->Caption, " ");
      }
    }
    WriteLine(line);
    form.Close();
  }
};

}  // namespace

std::unique_ptr<UserInterface> MakeStandardErrorInterface() {
  return std::make_unique<StandardErrorInterface>();
}

std::string TextWithLineBreaks(const std::u16string& text, const std::string& separator) {
  const std::u16string unified = ReplaceAll(ReplaceAll(text, u"\r\n", u"\n"), u"\r", u"\n");
  return Utf16ToUtf8(ReplaceAll(unified, u"\n", Utf8ToUtf16(separator)));
}

}  // namespace vorlabws
