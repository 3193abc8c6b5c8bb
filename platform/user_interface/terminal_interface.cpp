#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

#include "platform/code_page.h"
#include "platform/user_interface/interfaces.h"

namespace vorlabws {
namespace {

// Boxes and forms as text on the controlling terminal, answered line by line: a box waits for
// Enter; a form asks its fields in turn, from the one with the focus on in tab order, and Enter on
// the last one presses the default button. The end of input closes a form unconfirmed.
class TerminalInterface : public UserInterface {
 public:
  explicit TerminalInterface(int tty) : tty_(tty) {}
  TerminalInterface(const TerminalInterface&) = delete;
  TerminalInterface& operator=(const TerminalInterface&) = delete;
  ~TerminalInterface() override { ::close(tty_); }

  void ShowBox(BoxKind, const std::u16string& caption, const std::u16string& text) override {
    Write("\n[" + TextWithLineBreaks(caption, " ") + "]\n" + TextWithLineBreaks(text, "\n") +
          "\n[OK] ");
    ReadLine();
  }

  void ShowModal(TForm& form) override {
    if (form.OnActivate) form.OnActivate();
    Write("\n[" + TextWithLineBreaks(form.Caption, " ") + "]\n");
    for (const TLabel* label : LabelsTopDown(form)) {
      Write(TextWithLineBreaks(label->Caption, "\n") + "\n");
    }
    while (!form.Closing()) {
      if (!AskFields(form)) {
        form.Close();
        return;
      }
      if (TBitBtn* confirm = form.DefaultButton()) confirm->Click();
    }
  }

 private:
  static std::vector<const TLabel*> LabelsTopDown(const TForm& form) {
    std::vector<const TLabel*> labels;
    for (const TControl* part : form.Controls()) {
      if (const auto* label = dynamic_cast<const TLabel*>(part)) labels.push_back(label);
    }
    std::stable_sort(labels.begin(), labels.end(), [](const TLabel* a, const TLabel* b) {
      return a->Top != b->Top ? a->Top < b->Top : a->Left < b->Left;
    });
    return labels;
  }

  // The edit fields in tab order, starting with the one that has the focus.
  static std::vector<TEdit*> FieldsFromFocus(const TForm& form) {
    std::vector<TControl*> parts = form.TabOrderControls();
    const auto focus = std::find(parts.begin(), parts.end(), form.ActiveControl);
    if (focus != parts.end()) std::rotate(parts.begin(), focus, parts.end());
    std::vector<TEdit*> fields;
    for (TControl* part : parts) {
      if (auto* edit = dynamic_cast<TEdit*>(part)) fields.push_back(edit);
    }
    return fields;
  }

  // False at the end of input.
  bool AskFields(const TForm& form) {
    for (TEdit* field : FieldsFromFocus(form)) {
      Write("> ");
      const std::optional<std::string> line = ReadLine();
      if (!line) return false;
      field->Text = Utf8ToUtf16(*line);
    }
    return true;
  }

  void Write(const std::string& text) {
    for (size_t done = 0; done < text.size();) {
      const ssize_t put = ::write(tty_, text.data() + done, text.size() - done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return;  // a terminal gone away reads as the end of input next
      done += static_cast<size_t>(put);
    }
  }

  // One line without its line end; none at the end of input or when the terminal has gone.
  std::optional<std::string> ReadLine() {
    std::string line;
    for (;;) {
      char c;
      const ssize_t got = ::read(tty_, &c, 1);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return line.empty() ? std::nullopt : std::optional<std::string>(line);
      if (c == '\n') break;
      line.push_back(c);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }

  int tty_;
};

}  // namespace

std::unique_ptr<UserInterface> OpenTerminalInterface() {
  const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (tty < 0) return nullptr;
  if (::tcgetpgrp(tty) != ::getpgrp()) {
    ::close(tty);
    return nullptr;
  }
  return std::make_unique<TerminalInterface>(tty);
}

}  // namespace vorlabws
