// Modal forms described in the program's own terms: a caption, a client area, parts at pixel
// positions at 96 dpi, a tab order, default and cancel buttons, handlers. The user interface of
// the run shows them (platform/user_interface.h). A form's parts are members of the derived form
// and register with it on construction; the form owns no part and no handler state.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vorlabws {

// Anything that can own a form: a form, or the job context that asks for one.
class TComponent {
 public:
  TComponent() = default;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  virtual ~TComponent() = default;
};

struct TFont {
  std::u16string Name = u"Arial";
  int Size = 8;  // points
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
};

class TForm;

// A part of a form. Parts with a tab order take the focus; the others only show.
class TControl {
 public:
  static constexpr int kNoTabStop = -1;

  TControl(TForm& Parent, int Left, int Top, int Width, int Height, int TabOrder = kNoTabStop);
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;
  virtual ~TControl() = default;

  bool TabStop() const { return TabOrder != kNoTabStop; }

  TForm& Parent;
  int Left;
  int Top;
  int Width;
  int Height;
  int TabOrder;
};

// A framed panel outline.
class TBevel : public TControl {
 public:
  using TControl::TControl;
};

// The error sign of an error box.
class TErrorSign : public TControl {
 public:
  using TControl::TControl;
};

// Text, sized to fit it when AutoSize is set; lines are separated by CR LF.
class TLabel : public TControl {
 public:
  using TControl::TControl;
  std::u16string Caption;
  bool AutoSize = true;
};

// A one-line edit field.
class TEdit : public TControl {
 public:
  using TControl::TControl;
  std::u16string Text;
  // What the field asks for, in a few words: a form of the interface that cannot show the
  // layout (the terminal) names the field's question with it.
  std::u16string Hint;
  // Makes this field the form's active control: it has the focus once the handler returns.
  void SetFocus();
};

// The glyph a button shows beside its caption.
enum class TBitBtnKind { bkCustom, bkOK, bkCancel };

class TBitBtn : public TControl {
 public:
  TBitBtn(TForm& Parent, int Left, int Top, int Width, int Height, int TabOrder, TBitBtnKind Kind)
      : TControl(Parent, Left, Top, Width, Height, TabOrder), Kind(Kind) {}

  void Click() {
    if (OnClick) OnClick();
  }

  TBitBtnKind Kind;
  std::u16string Caption;
  bool Default = false;  // pressed by Enter, unless the focus is on another button
  bool Cancel = false;   // pressed by Esc
  std::function<void()> OnClick;
};

// A dialog: fixed border, centred on the screen, modal while shown.
class TForm : public TComponent {
 public:
  explicit TForm(TComponent* AOwner) : Owner(AOwner) {}

  // Shows the form through the user interface of the run and returns once it has closed.
  void ShowModal();
  // Ends ShowModal once the running handler has returned.
  void Close() { closing_ = true; }
  bool Closing() const { return closing_; }

  // Every part, in the order of construction.
  const std::vector<TControl*>& Controls() const { return controls_; }
  // The parts that take the focus, in tab order.
  std::vector<TControl*> TabOrderControls() const;
  TBitBtn* DefaultButton() const;
  TBitBtn* CancelButton() const;

  TComponent* const Owner;
  std::u16string Caption;
  int ClientWidth = 0;
  int ClientHeight = 0;
  TFont Font;  // every part shows the form's font
  std::function<void()> OnActivate;
  // The part that has the focus; before the form shows, the part that gets it first.
  TControl* ActiveControl = nullptr;

 private:
  friend class TControl;
  TBitBtn* FirstButtonWith(bool TBitBtn::*flag) const;

  std::vector<TControl*> controls_;
  bool closing_ = false;
};

}  // namespace vorlabws
