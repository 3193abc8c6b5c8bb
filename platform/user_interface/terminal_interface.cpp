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
// the last one presses the default button. A line holding Esc presses the cancel button, as the
// key does in a window; the end of input closes a form unconfirmed. A field never takes a text
// with a control character in it: the question is asked again.
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
      switch (AskFields(form)) {
        case Answers::kEnded:
          form.Close();
          return;
        case Answers::kCancelled:
          Press(form, form.CancelButton());
          break;
        case Answers::kComplete:
          if (TBitBtn* confirm = form.DefaultButton()) confirm->Click();
          break;
      }
    }
  }

 private:
  enum class Answers { kComplete, kCancelled, kEnded };

  static void Press(TForm& form, TBitBtn* button) {
    if (button != nullptr) {
      button->Click();
    } else {
      form.Close();
    }
  }

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

  // "nome del computer (Esc e Invio: Cancel)> ": the field's words and the cancel button's caption.
  static std::string Question(const TForm& form, const TEdit& field) {
    std::string question = TextWithLineBreaks(field.Hint, " ");
    if (const TBitBtn* cancel = form.CancelButton()) {
      question += (question.empty() ? "(" : " (") + std::string("Esc e Invio: ") +
                  TextWithLineBreaks(cancel->Caption, " ") + ")";
    }
    return question + "> ";
  }

  static bool HoldsControlCharacter(const std::u16string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); });
  }

  Answers AskFields(const TForm& form) {
    for (TEdit* field : FieldsFromFocus(form)) {
      for (;;) {
        Write(Question(form, *field));
        const std::optional<std::string> line = ReadLine();
        if (!line) return Answers::kEnded;
        if (line->find('\x1b') != std::string::npos) return Answers::kCancelled;
        const std::u16string text = Utf8ToUtf16(*line);
        if (!HoldsControlCharacter(text)) {
          field->Text = text;
          break;
        }
        Write("Carattere di controllo non ammesso: riscrivere il testo\n");
      }
    }
    return Answers::kComplete;
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
