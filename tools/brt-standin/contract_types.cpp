#include "tools/brt-standin/contract_types.h"

namespace vorlabws::standin {
namespace {

using enum XsdType;

constexpr MemberType kDestinationAddressMembers[] = {
    {u"AnnoSpedizione", kShort},
    {u"CampoInErrore", kString},
    {u"CodiceErrore", kString},
    {u"CodiceProdotto", kString},
    {u"DescrizioneErrore", kString},
    {u"DestinatarioCap", kString},
    {u"DestinatarioIndirizzo", kString},
    {u"DestinatarioLocalita", kString},
    {u"DestinatarioNazione", kString},
    {u"DestinatarioProvincia", kString},
    {u"DestinatarioProvinciaAlt", kString},
    {u"DestinatarioRagioneSociale", kString},
    {u"FermoDeposito", kString},
    {u"FilialeSegnaCollo", kShort},
    {u"FlagVolumeBollettato", kString},
    {u"GestParticolaritaConsegna", kString},
    {u"GestParticolaritaContrassegno", kString},
    {u"GestParticolaritaGiacenza", kString},
    {u"GestParticolaritaVarie", kString},
    {u"MeseGiornoSpedizione", kShort},
    {u"MittenteNazione", kString},
    {u"MittenteProvincia", kString},
    {u"MittenteRagioneSociale", kString},
    {u"Network", kString},
    {u"NumSegnaColloDi", kInt},
    {u"NumeroSegnaCollo", kInt},
    {u"NumeroSerie", kShort},
    {u"POArrivo", kShort},
    {u"POArrivoDes", kString},
    {u"POPartenza", kShort},
    {u"POPartenzaDes", kString},
    {u"Peso", kDecimal},
    {u"PrimaConsegnaParticolare", kString},
    {u"RicercaPOArrivo", kString},
    {u"Ristampa", kString},
    {u"SecondaConsegnaParticolare", kString},
    {u"TerminalArrivo", kShort},
    {u"TipoContrassegno", kString},
    {u"TipoLancio", kString},
    {u"TipoPorto", kString},
    {u"TipoServizioBolle", kString},
    {u"TipoStampante", kString},
    {u"TotSegnaColli", kInt},
    {u"Volume", kDecimal},
    {u"ZonaSegnaCollo", kShort},
};

constexpr MemberType kDestinationAddressOutMembers[] = {
    {u"CampoInErrore", kString},
    {u"CodiceErrore", kString},
    {u"DescrizioneErrore", kString},
    {u"DestinatarioLocalita", kString},
    {u"DestinatarioProvincia", kString},
    {u"DestinatarioProvinciaAlt", kString},
    {u"NazioneISO", kString},
    {u"POArrivo", kShort},
    {u"POArrivoDes", kString},
    {u"POPartenzaDes", kString},
    {u"TerminalArrivo", kShort},
    {u"TipoStampaNetwork", kString},
    {u"ZonaSegnaCollo", kShort},
};

constexpr MemberType kLabelToPrintMembers[] = {
    {u"AnnoSpedizione", kInt},
    {u"CodiceErrore", kString},
    {u"CodiceIsoNazione", kString},
    {u"CodiceProdotto", kString},
    {u"DataSpedizione", kDateTime},
    {u"DescrizioneErrore", kString},
    {u"DestinatarioCap", kString},
    {u"DestinatarioIndirizzo", kString},
    {u"DestinatarioLocalita", kString},
    {u"DestinatarioProvincia", kString},
    {u"DestinatarioRagioneSociale", kString},
    {u"FlagRistampa", kString},
    {u"FlagVolumeBollettato", kString},
    {u"MeseGiornoSpedizione", kInt},
    {u"MittenteProvincia", kString},
    {u"MittenteRagioneSociale", kString},
    {u"NumeroRifNumerico", kLong},
    {u"NumeroSegnaCollo", kInt},
    {u"NumeroSegnaColloDi", kInt},
    {u"NumeroSerie", kInt},
    {u"NumeroSpedizione", kInt},
    {u"POArrivo", kInt},
    {u"POArrivoDescrizione", kString},
    {u"POPartenza", kInt},
    {u"POPartenzaDescrizione", kString},
    {u"POSegnacollo", kInt},
    {u"Peso", kDecimal},
    {u"TerminalArrivo", kInt},
    {u"TipoEtichetta", kLabelType},
    {u"TipoServizioBolle", kString},
    {u"TipoStampaNetwork", kString},
    {u"TotaleSegnaColli", kInt},
    {u"Volume", kDecimal},
    {u"ZonaSegnaCollo", kInt},
};

}  // namespace

const RecordType kDestinationAddress{easysped::kDestinationAddressType, easysped::kDalNamespace,
                                     kDestinationAddressMembers};
const RecordType kDestinationAddressOut{easysped::kDestinationAddressOutType,
                                        easysped::kDalNamespace, kDestinationAddressOutMembers};
const RecordType kLabelToPrint{easysped::kLabelToPrintType, easysped::kPrintlabelNamespace,
                               kLabelToPrintMembers};

const std::vector<OperationType>& Operations() {
  static const std::vector<OperationType> operations = {
      {easysped::kCalculateBRTSort,
       {{u"address", ParameterShape::kRecord, kString, &kDestinationAddress}},
       ResultShape::kRoutingRecord},
      {easysped::kGetLabelForZebraPrinter,
       {{u"labels", ParameterShape::kLabelList, kString, &kLabelToPrint},
        {u"x", ParameterShape::kScalar, kInt, nullptr},
        {u"y", ParameterShape::kScalar, kInt, nullptr}},
       ResultShape::kText},
      {easysped::kGetLabelPDF,
       {{u"labels", ParameterShape::kLabelList, kString, &kLabelToPrint},
        {u"dialogToPrint", ParameterShape::kScalar, kBoolean, nullptr},
        {u"fakeLabels", ParameterShape::kScalar, kInt, nullptr}},
       ResultShape::kBytes},
      {easysped::kSayHello,
       {{u"name", ParameterShape::kScalar, kString, nullptr}},
       ResultShape::kText},
  };
  return operations;
}

std::u16string_view SchemaTypeName(XsdType type) {
  switch (type) {
    case kString:
      return u"xsd:string";
    case kShort:
      return u"xsd:short";
    case kInt:
      return u"xsd:int";
    case kLong:
      return u"xsd:long";
    case kBoolean:
      return u"xsd:boolean";
    case kDecimal:
      return u"xsd:decimal";
    case kDateTime:
      return u"xsd:dateTime";
    case kLabelType:
      return u"pl:LabelToPrint.tipiEtichetta";
  }
  return u"xsd:string";
}

}  // namespace vorlabws::standin
