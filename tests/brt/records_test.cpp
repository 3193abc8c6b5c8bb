#include <gtest/gtest.h>

#include "couriers/brt/easyspeddews1.h"

namespace vorlabws {
namespace {

TEST(BrtRecords, NewRecordHasEveryFlagDownAndEmptyValues) {
  const DestinationAddress2 address;
  EXPECT_TRUE(address.SpecifiedMembers().empty());
  EXPECT_FALSE(address.AnnoSpedizione_Specified());
  EXPECT_EQ(address.AnnoSpedizione(), 0);
  EXPECT_EQ(address.DestinatarioCap(), u"");
  EXPECT_EQ(address.Peso(), nullptr);
  const LabelToPrint2 label;
  EXPECT_TRUE(label.SpecifiedMembers().empty());
  EXPECT_EQ(label.TipoEtichetta(), LabelToPrint_tipiEtichetta::_0);
  EXPECT_EQ(label.DataSpedizione(), nullptr);
}

TEST(BrtRecords, SettingRaisesTheFlagForGoodEvenForEmptyValues) {
  DestinationAddress2 address;
  address.SetCampoInErrore(u"");
  address.SetPOArrivo(0);
  EXPECT_TRUE(address.CampoInErrore_Specified());
  EXPECT_TRUE(address.POArrivo_Specified());
  address.SetPOArrivo(-12);
  EXPECT_EQ(address.POArrivo(), -12);
  EXPECT_TRUE(address.POArrivo_Specified());
  EXPECT_FALSE(address.CodiceErrore_Specified());
}

// A decimal handed to a record lives as long as anyone holds it: a label sharing the request's
// weight keeps it when the request goes, setting a member again drops the old object without
// destroying it under another holder, and nothing is left behind once no one holds it.
TEST(BrtRecords, DecimalsAreSharedAndNeverLeakOrDangle) {
  auto label = std::make_unique<LabelToPrint2>();
  std::weak_ptr<const XsdDecimal> first_weight;
  {
    DestinationAddress2 request;
    request.SetPeso(std::make_shared<XsdDecimal>(u"12.5"));
    first_weight = request.Peso();
    label->SetPeso(request.Peso());
    request.SetPeso(std::make_shared<XsdDecimal>(u"7"));
    EXPECT_FALSE(first_weight.expired());
    EXPECT_EQ(request.Peso()->Text(), u"7");
  }
  EXPECT_EQ(label->Peso()->Text(), u"12.5");
  label->SetPeso(nullptr);
  EXPECT_TRUE(first_weight.expired());
  EXPECT_TRUE(label->Peso_Specified());
}

}  // namespace
}  // namespace vorlabws
