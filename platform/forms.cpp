#include "platform/forms.h"

#include <algorithm>

#include "platform/code_page.h"
#include "platform/trace.h"
#include "platform/user_interface.h"

namespace vorlabws {

TControl::TControl(TForm& Parent, int Left, int Top, int Width, int Height, int TabOrder)
    : Parent(Parent), Left(Left), Top(Top), Width(Width), Height(Height), TabOrder(TabOrder) {
  Parent.controls_.push_back(this);
}

void TEdit::SetFocus() { Parent.ActiveControl = this; }

void TForm::ShowModal() {
  closing_ = false;
  if (ActiveControl == nullptr) {
    const std::vector<TControl*> tab_order = TabOrderControls();
    if (!tab_order.empty()) ActiveControl = tab_order.front();
  }
  Trace("form " + Utf16ToUtf8(Caption) + " shown");
  CurrentUserInterface().ShowModal(*this);
  Trace("form " + Utf16ToUtf8(Caption) + " closed");
}

std::vector<TControl*> TForm::TabOrderControls() const {
  std::vector<TControl*> parts;
  std::copy_if(controls_.begin(), controls_.end(), std::back_inserter(parts),
               [](const TControl* part) { return part->TabStop(); });
  std::stable_sort(parts.begin(), parts.end(),
                   [](const TControl* a, const TControl* b) { return a->TabOrder < b->TabOrder; });
  return parts;
}

TBitBtn* TForm::DefaultButton() const { return FirstButtonWith(&TBitBtn::Default); }

TBitBtn* TForm::CancelButton() const { return FirstButtonWith(&TBitBtn::Cancel); }

TBitBtn* TForm::FirstButtonWith(bool TBitBtn::*flag) const {
  for (TControl* part : controls_) {
    auto* button = dynamic_cast<TBitBtn*>(part);
    if (button != nullptr && button->*flag) return button;
  }
  return nullptr;
}

}  // namespace vorlabws
