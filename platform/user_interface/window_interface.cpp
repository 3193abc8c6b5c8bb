// The window module (vorlabws-window.so): the forms and boxes of the program become FLTK windows
// here. FLTK stays inside this module, which the program loads only when a display is named.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/code_page.h"
#include "platform/user_interface/interfaces.h"
#include "platform/user_interface/window_module.h"

namespace vorlabws {
namespace {

// Positions and sizes of forms are pixels at this resolution, and so are font sizes here.
constexpr int kScreenDpi = 96;
constexpr int kGlyphSize = 12;
constexpr int kGlyphGap = 4;

// FLTK draws an "@" sequence as a symbol; doubled it is drawn as itself.
std::string LabelText(const std::u16string& text) {
  std::string label;
  for (const char c : TextWithLineBreaks(text, "\n")) {
    label.push_back(c);
    if (c == '@') label.push_back('@');
  }
  return label;
}

// FLTK font slots for the fonts forms ask for. The family goes to fontconfig by name, which maps
// a Windows family such as Arial to its metric-compatible stand-in (Liberation Sans).
class FontBook {
 public:
  Fl_Font Face(const TFont& font) {
    const std::string name = StyleLetter(font) + Utf16ToUtf8(font.Name);
    const auto known = std::find(names_.begin(), names_.end(), name);
    if (known != names_.end()) return FL_FREE_FONT + static_cast<Fl_Font>(known - names_.begin());
    names_.push_back(name);  // FLTK keeps the pointer: a deque never moves its strings
    const Fl_Font face = FL_FREE_FONT + static_cast<Fl_Font>(names_.size() - 1);
    Fl::set_font(face, names_.back().c_str());
    return face;
  }

  static Fl_Fontsize PixelSize(const TFont& font) {
    return static_cast<Fl_Fontsize>((font.Size * kScreenDpi + 36) / 72);
  }

  // Width and height of a label text in the font.
  std::pair<int, int> Measure(const TFont& font, const std::string& label) {
    fl_font(Face(font), PixelSize(font));
    int width = 0;
    int height = 0;
    fl_measure(label.c_str(), width, height, 1);
    return {width, height};
  }

 private:
  // Xft font names start with the style: blank, B(old), I(talic) or P (bold italic).
  static std::string StyleLetter(const TFont& font) {
    if (font.Bold && font.Italic) return "P";
    if (font.Bold) return "B";
    if (font.Italic) return "I";
    return " ";
  }

  std::deque<std::string> names_;
};

// A button with its kind's glyph (a green check for OK, a red cross for Cancel) before the
// caption; the default button has a dark outline.
class GlyphButton : public Fl_Button {
 public:
  explicit GlyphButton(TBitBtn& part)
      : Fl_Button(part.Left, part.Top, part.Width, part.Height), part_(part) {}

  TBitBtn& part() const { return part_; }

 private:
  void draw() override {
    const int shift = value() ? 1 : 0;
    draw_box(value() ? fl_down(box()) : box(), color());
    if (part_.Default) {
      fl_color(FL_BLACK);
      fl_rect(x(), y(), w(), h());
    }
    fl_font(labelfont(), labelsize());
    int text_width = 0;
    int text_height = 0;
    fl_measure(label(), text_width, text_height, 1);
    const int glyph = part_.Kind == TBitBtnKind::bkCustom ? 0 : kGlyphSize + kGlyphGap;
    const int left = x() + (w() - glyph - text_width) / 2 + shift;
    DrawGlyph(left, y() + (h() - kGlyphSize) / 2 + shift);
    fl_color(labelcolor());
    fl_draw(label(), left + glyph, y() + shift, text_width, h(), FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    if (Fl::focus() == this) draw_focus();
  }

  void DrawGlyph(int left, int top) const {
    if (part_.Kind == TBitBtnKind::bkOK) {
      fl_color(fl_rgb_color(0, 128, 0));
      fl_line_style(FL_SOLID, 2);
      fl_line(left + 1, top + 6, left + 4, top + 9, left + 10, top + 2);
    } else if (part_.Kind == TBitBtnKind::bkCancel) {
      fl_color(fl_rgb_color(192, 0, 0));
      fl_line_style(FL_SOLID, 2);
      fl_line(left + 2, top + 2, left + 9, top + 9);
      fl_line(left + 9, top + 2, left + 2, top + 9);
    }
    fl_line_style(0);
  }

  TBitBtn& part_;
};

// A white cross on a red disc.
class ErrorSignWidget : public Fl_Widget {
 public:
  explicit ErrorSignWidget(const TErrorSign& part)
      : Fl_Widget(part.Left, part.Top, part.Width, part.Height) {}

 private:
  void draw() override {
    fl_color(fl_rgb_color(200, 0, 0));
    fl_pie(x(), y(), w(), h(), 0, 360);
    fl_color(FL_WHITE);
    fl_line_style(FL_SOLID, 3);
    const int inset = w() / 3;
    fl_line(x() + inset, y() + inset, x() + w() - inset, y() + h() - inset);
    fl_line(x() + w() - inset, y() + inset, x() + inset, y() + h() - inset);
    fl_line_style(0);
  }
};

// One form shown as a modal window, fixed in size and centred on the screen. Enter presses the
// button with the focus, or else the default button; Esc presses the cancel button; the close box
// closes the form without pressing anything.
class FormWindow : public Fl_Double_Window {
 public:
  FormWindow(TForm& form, FontBook& fonts)
      : Fl_Double_Window(form.ClientWidth, form.ClientHeight), form_(form) {
    int screen_x, screen_y, screen_width, screen_height;
    Fl::screen_xywh(screen_x, screen_y, screen_width, screen_height);
    position(screen_x + (screen_width - w()) / 2, screen_y + (screen_height - h()) / 2);
    copy_label(TextWithLineBreaks(form.Caption, " ").c_str());
    // Children take the focus in the order they are added, so parts that take it go in tab order.
    for (TControl* part : form.Controls()) {
      if (!part->TabStop()) AddPart(*part, fonts);
    }
    for (TControl* part : form.TabOrderControls()) AddPart(*part, fonts);
    end();
    set_modal();
    callback(OnCloseBox, this);
  }

  void Run() {
    show();
    ApplyFocus();
    if (form_.OnActivate) {
      form_.OnActivate();
      ApplyFocus();
    }
    while (!form_.Closing() && shown()) Fl::wait();
    ReadState();
    hide();
    Fl::flush();
  }

 private:
  void AddPart(TControl& part, FontBook& fonts) {
    const Fl_Font face = fonts.Face(form_.Font);
    const Fl_Fontsize size = FontBook::PixelSize(form_.Font);
    Fl_Widget* widget = nullptr;
    if (dynamic_cast<TBevel*>(&part) != nullptr) {
      widget = new Fl_Box(FL_ENGRAVED_FRAME, part.Left, part.Top, part.Width, part.Height, nullptr);
    } else if (auto* sign = dynamic_cast<TErrorSign*>(&part)) {
      widget = new ErrorSignWidget(*sign);
    } else if (auto* label = dynamic_cast<TLabel*>(&part)) {
      const std::string text = LabelText(label->Caption);
      if (label->AutoSize) std::tie(part.Width, part.Height) = fonts.Measure(form_.Font, text);
      widget = new Fl_Box(part.Left, part.Top, part.Width, part.Height);
      widget->copy_label(text.c_str());
      widget->align(FL_ALIGN_INSIDE | FL_ALIGN_TOP_LEFT);
    } else if (auto* edit = dynamic_cast<TEdit*>(&part)) {
      auto* input = new Fl_Input(part.Left, part.Top, part.Width, part.Height);
      input->value(Utf16ToUtf8(edit->Text).c_str());
      input->textfont(face);
      input->textsize(size);
      edits_.emplace_back(edit, input);
      widget = input;
    } else if (auto* button = dynamic_cast<TBitBtn*>(&part)) {
      widget = new GlyphButton(*button);
      widget->copy_label(LabelText(button->Caption).c_str());
      widget->callback(OnButton, this);
    }
    if (widget == nullptr) return;
    widget->labelfont(face);
    widget->labelsize(size);
    widgets_[&part] = widget;
  }

  int handle(int event) override {
    if (event == FL_KEYBOARD || event == FL_SHORTCUT) {
      const int key = Fl::event_key();
      if (key == FL_Enter || key == FL_KP_Enter) {
        Press(ButtonForEnter());
        return 1;
      }
      if (key == FL_Escape) {  // never FLTK's own Escape, which would close the window
        Press(form_.CancelButton());
        return 1;
      }
    }
    return Fl_Double_Window::handle(event);
  }

  static void OnButton(Fl_Widget* widget, void* window) {
    static_cast<FormWindow*>(window)->Press(&static_cast<GlyphButton*>(widget)->part());
  }

  static void OnCloseBox(Fl_Widget*, void* window) {
    auto* self = static_cast<FormWindow*>(window);
    self->ReadState();
    self->form_.Close();
  }

  TBitBtn* ButtonForEnter() const {
    if (auto* focused = dynamic_cast<GlyphButton*>(Fl::focus())) return &focused->part();
    return form_.DefaultButton();
  }

  void Press(TBitBtn* button) {
    if (button == nullptr) return;
    ReadState();
    button->Click();
    ApplyFocus();
  }

  // Hands the typed texts and the focus to the form before its handlers look at them.
  void ReadState() {
    for (auto& [edit, input] : edits_) edit->Text = Utf8ToUtf16(input->value());
    for (const auto& [part, widget] : widgets_) {
      if (widget == Fl::focus()) form_.ActiveControl = const_cast<TControl*>(part);
    }
  }

  void ApplyFocus() {
    const auto found = widgets_.find(form_.ActiveControl);
    if (found != widgets_.end()) found->second->take_focus();
  }

  TForm& form_;
  std::vector<std::pair<TEdit*, Fl_Input*>> edits_;
  std::map<const TControl*, Fl_Widget*> widgets_;
};

// A message box laid out around its text: the error sign for an error box, the text, and one OK
// button that Enter, Esc and the close box all dismiss.
class BoxForm : public TForm {
 public:
  BoxForm(BoxKind kind, const std::u16string& caption, const std::u16string& text, FontBook& fonts)
      : TForm(nullptr) {
    constexpr int kMargin = 16;
    constexpr int kSignSize = 32;
    constexpr int kButtonWidth = 75;
    constexpr int kButtonHeight = 25;
    constexpr int kMinimumWidth = 200;
    Caption = caption;
    Message.Caption = text;
    const auto [text_width, text_height] = fonts.Measure(Font, LabelText(text));
    int left = kMargin;
    if (kind == BoxKind::kError) {
      Sign.emplace(*this, kMargin, kMargin, kSignSize, kSignSize);
      left += kSignSize + kMargin;
    }
    const int body_height = std::max(text_height, Sign ? kSignSize : 0);
    Message.Left = left;
    Message.Top = kMargin + (body_height - text_height) / 2;
    ClientWidth = std::max(left + text_width + kMargin, kMinimumWidth);
    const int button_top = kMargin + body_height + kMargin;
    ClientHeight = button_top + kButtonHeight + kMargin;
    OK.Left = (ClientWidth - kButtonWidth) / 2;
    OK.Top = button_top;
    OK.Caption = u"OK";
    OK.Default = true;
    OK.Cancel = true;
    OK.OnClick = [this] { Close(); };
    ActiveControl = &OK;
  }

  TLabel Message{*this, 0, 0, 0, 0};
  TBitBtn OK{*this, 0, 0, 75, 25, 0, TBitBtnKind::bkCustom};
  std::optional<TErrorSign> Sign;
};

class WindowInterface : public UserInterface {
 public:
  WindowInterface() = default;
  WindowInterface(const WindowInterface&) = delete;
  WindowInterface& operator=(const WindowInterface&) = delete;
  ~WindowInterface() override { fl_close_display(); }

  void ShowBox(BoxKind kind, const std::u16string& caption, const std::u16string& text) override {
    BoxForm box(kind, caption, text, fonts_);
    FormWindow(box, fonts_).Run();
  }

  void ShowModal(TForm& form) override { FormWindow(form, fonts_).Run(); }

 private:
  FontBook fonts_;
};

}  // namespace
}  // namespace vorlabws

vorlabws::UserInterface* VorlabwsConnectWindows() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  fl_open_display(display);  // FLTK owns the connection from here; the interface closes it
  return new vorlabws::WindowInterface();
}
