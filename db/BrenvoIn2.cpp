#include "db/BrenvoIn2.h"

namespace vorlabws {

TBrenvoIn2Form::TBrenvoIn2Form(TComponent* AOwner) : TForm(AOwner) {
  ClientWidth = 329;
  ClientHeight = 148;
  Label1.Caption = u"Label1";
  Edit1.Hint = u"nome del computer";
  Edit2.Hint = u"lettera della sua unit\u00E0 disco";
  OKBtn.Caption = u"OK";
  OKBtn.Default = true;
  OKBtn.OnClick = [this] { OKBtnClick(); };
  CancelBtn.Caption = u"Cancel";
  CancelBtn.Cancel = true;
  CancelBtn.OnClick = [this] { CancelBtnClick(); };
  OnActivate = [this] { FormActivate(); };
}

void TBrenvoIn2Form::OKBtnClick() {
  Esito = 1;
  Close();
}

void TBrenvoIn2Form::CancelBtnClick() {
  Esito = 2;
  Close();
}

void TBrenvoIn2Form::FormActivate() { Edit1.SetFocus(); }

}  // namespace vorlabws
