// The server prompt: asks for the name of the computer that runs the database server and the
// drive letter of the disk that holds the database. It holds no logic beyond recording in Esito
// which button closed it; the caller sets its caption, label text and font, then shows it.
#pragma once

#include <cstdint>

#include "platform/forms.h"

namespace vorlabws {

class TBrenvoIn2Form : public TForm {
 public:
  explicit TBrenvoIn2Form(TComponent* AOwner);

  void OKBtnClick();
  void CancelBtnClick();
  void FormActivate();

  // Parts at their places in pixels at 96 dpi, with their tab order.
  TBevel Bevel1{*this, 8, 8, 313, 89};
  TLabel Label1{*this, 13, 32, 192, 12};
  TEdit Edit1{*this, 24, 56, 129, 20, 3};   // server computer name
  TEdit Edit2{*this, 168, 56, 127, 20, 0};  // drive letter of the server disk
  TBitBtn OKBtn{*this, 93, 108, 77, 27, 1, TBitBtnKind::bkOK};
  TBitBtn CancelBtn{*this, 177, 108, 77, 27, 2, TBitBtnKind::bkCancel};

  // How the dialog ended: 0 while open and after the close box, 1 after OKBtn, 2 after CancelBtn.
  uint16_t Esito = 0;
};

}  // namespace vorlabws
