// The BRT routing and label service as the program sees it: the records it exchanges, the label
// type, the service interface and the factory of its proxy. Every record member is a value with a
// "specified" flag, and only specified members go on the wire. Decimal and date-time objects are
// shared: a record holds its own for its life, and anyone else holding one keeps it alive. Records
// passed to an operation stay the caller's; a record an operation returns belongs to the caller.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "couriers/brt/soap_failures.h"
#include "couriers/brt/soap_record.h"
#include "platform/http.h"

namespace vorlabws {

// An XML Schema value kept as the text it was given: sent unchanged, never validated or normalised.
class XsdValue {
 public:
  explicit XsdValue(std::u16string text) : text_(std::move(text)) {}
  const std::u16string& Text() const { return text_; }

 private:
  std::u16string text_;
};

// A decimal in XML Schema form, "." as decimal separator ("12.5").
class XsdDecimal : public XsdValue {
 public:
  using XsdValue::XsdValue;
};

// A date-time in XML Schema form ("2024-01-15T10:20:30").
class XsdDateTime : public XsdValue {
 public:
  using XsdValue::XsdValue;
};

using XsdDecimalRef = std::shared_ptr<const XsdDecimal>;
using XsdDateTimeRef = std::shared_ptr<const XsdDateTime>;

// Sent as "0" to "3".
enum class LabelToPrint_tipiEtichetta { _0, _1, _2, _3 };

template <typename Value>
struct SpecifiedValue {
  Value value{};
  bool specified = false;
};

// A member: its value, Set<Name> (stores the value and raises the flag for good) and
// <Name>_Specified.
#define VORLABWS_SOAP_MEMBER(Name, Type)                             \
 public:                                                             \
  const Type& Name() const { return Name##_.value; }                 \
  void Set##Name(Type value) { Name##_ = {std::move(value), true}; } \
  bool Name##_Specified() const { return Name##_.specified; }        \
                                                                     \
 private:                                                            \
  SpecifiedValue<Type> Name##_;

// The routing request, schema type "DestinationAddress" (DAL namespace), in member order.
#define VORLABWS_DESTINATION_ADDRESS2_MEMBERS(MEMBER)   \
  MEMBER(AnnoSpedizione, int16_t)                       \
  MEMBER(CampoInErrore, std::u16string)                 \
  MEMBER(CodiceErrore, std::u16string)                  \
  MEMBER(CodiceProdotto, std::u16string)                \
  MEMBER(DescrizioneErrore, std::u16string)             \
  MEMBER(DestinatarioCap, std::u16string)               \
  MEMBER(DestinatarioIndirizzo, std::u16string)         \
  MEMBER(DestinatarioLocalita, std::u16string)          \
  MEMBER(DestinatarioNazione, std::u16string)           \
  MEMBER(DestinatarioProvincia, std::u16string)         \
  MEMBER(DestinatarioProvinciaAlt, std::u16string)      \
  MEMBER(DestinatarioRagioneSociale, std::u16string)    \
  MEMBER(FermoDeposito, std::u16string)                 \
  MEMBER(FilialeSegnaCollo, int16_t)                    \
  MEMBER(FlagVolumeBollettato, std::u16string)          \
  MEMBER(GestParticolaritaConsegna, std::u16string)     \
  MEMBER(GestParticolaritaContrassegno, std::u16string) \
  MEMBER(GestParticolaritaGiacenza, std::u16string)     \
  MEMBER(GestParticolaritaVarie, std::u16string)        \
  MEMBER(MeseGiornoSpedizione, int16_t)                 \
  MEMBER(MittenteNazione, std::u16string)               \
  MEMBER(MittenteProvincia, std::u16string)             \
  MEMBER(MittenteRagioneSociale, std::u16string)        \
  MEMBER(Network, std::u16string)                       \
  MEMBER(NumSegnaColloDi, int32_t)                      \
  MEMBER(NumeroSegnaCollo, int32_t)                     \
  MEMBER(NumeroSerie, int16_t)                          \
  MEMBER(POArrivo, int16_t)                             \
  MEMBER(POArrivoDes, std::u16string)                   \
  MEMBER(POPartenza, int16_t)                           \
  MEMBER(POPartenzaDes, std::u16string)                 \
  MEMBER(Peso, XsdDecimalRef)                           \
  MEMBER(PrimaConsegnaParticolare, std::u16string)      \
  MEMBER(RicercaPOArrivo, std::u16string)               \
  MEMBER(Ristampa, std::u16string)                      \
  MEMBER(SecondaConsegnaParticolare, std::u16string)    \
  MEMBER(TerminalArrivo, int16_t)                       \
  MEMBER(TipoContrassegno, std::u16string)              \
  MEMBER(TipoLancio, std::u16string)                    \
  MEMBER(TipoPorto, std::u16string)                     \
  MEMBER(TipoServizioBolle, std::u16string)             \
  MEMBER(TipoStampante, std::u16string)                 \
  MEMBER(TotSegnaColli, int32_t)                        \
  MEMBER(Volume, XsdDecimalRef)                         \
  MEMBER(ZonaSegnaCollo, int16_t)

// The routing reply, schema type "DestinationAddressOut" (DAL namespace), in member order.
#define VORLABWS_DESTINATION_ADDRESS_OUT2_MEMBERS(MEMBER) \
  MEMBER(CampoInErrore, std::u16string)                   \
  MEMBER(CodiceErrore, std::u16string)                    \
  MEMBER(DescrizioneErrore, std::u16string)               \
  MEMBER(DestinatarioLocalita, std::u16string)            \
  MEMBER(DestinatarioProvincia, std::u16string)           \
  MEMBER(DestinatarioProvinciaAlt, std::u16string)        \
  MEMBER(NazioneISO, std::u16string)                      \
  MEMBER(POArrivo, int16_t)                               \
  MEMBER(POArrivoDes, std::u16string)                     \
  MEMBER(POPartenzaDes, std::u16string)                   \
  MEMBER(TerminalArrivo, int16_t)                         \
  MEMBER(TipoStampaNetwork, std::u16string)               \
  MEMBER(ZonaSegnaCollo, int16_t)

// One label to render, schema type "LabelToPrint" (Printlabel namespace), in member order. Its
// integers are 32-bit, unlike the 16-bit ones of the routing records.
#define VORLABWS_LABEL_TO_PRINT2_MEMBERS(MEMBER)     \
  MEMBER(AnnoSpedizione, int32_t)                    \
  MEMBER(CodiceErrore, std::u16string)               \
  MEMBER(CodiceIsoNazione, std::u16string)           \
  MEMBER(CodiceProdotto, std::u16string)             \
  MEMBER(DataSpedizione, XsdDateTimeRef)             \
  MEMBER(DescrizioneErrore, std::u16string)          \
  MEMBER(DestinatarioCap, std::u16string)            \
  MEMBER(DestinatarioIndirizzo, std::u16string)      \
  MEMBER(DestinatarioLocalita, std::u16string)       \
  MEMBER(DestinatarioProvincia, std::u16string)      \
  MEMBER(DestinatarioRagioneSociale, std::u16string) \
  MEMBER(FlagRistampa, std::u16string)               \
  MEMBER(FlagVolumeBollettato, std::u16string)       \
  MEMBER(MeseGiornoSpedizione, int32_t)              \
  MEMBER(MittenteProvincia, std::u16string)          \
  MEMBER(MittenteRagioneSociale, std::u16string)     \
  MEMBER(NumeroRifNumerico, int64_t)                 \
  MEMBER(NumeroSegnaCollo, int32_t)                  \
  MEMBER(NumeroSegnaColloDi, int32_t)                \
  MEMBER(NumeroSerie, int32_t)                       \
  MEMBER(NumeroSpedizione, int32_t)                  \
  MEMBER(POArrivo, int32_t)                          \
  MEMBER(POArrivoDescrizione, std::u16string)        \
  MEMBER(POPartenza, int32_t)                        \
  MEMBER(POPartenzaDescrizione, std::u16string)      \
  MEMBER(POSegnacollo, int32_t)                      \
  MEMBER(Peso, XsdDecimalRef)                        \
  MEMBER(TerminalArrivo, int32_t)                    \
  MEMBER(TipoEtichetta, LabelToPrint_tipiEtichetta)  \
  MEMBER(TipoServizioBolle, std::u16string)          \
  MEMBER(TipoStampaNetwork, std::u16string)          \
  MEMBER(TotaleSegnaColli, int32_t)                  \
  MEMBER(Volume, XsdDecimalRef)                      \
  MEMBER(ZonaSegnaCollo, int32_t)

// What each record defines for the envelope writer and the reply reader (easyspeddews1.cpp).
#define VORLABWS_SOAP_RECORD_WIRING                          \
  std::u16string_view SchemaTypeName() const override;       \
  std::u16string_view SchemaNamespace() const override;      \
  std::vector<WireMember> SpecifiedMembers() const override; \
  bool SetMemberFromWire(std::u16string_view name, const WireText& text) override;

class DestinationAddress2 : public SoapRecord {
 public:
  VORLABWS_SOAP_RECORD_WIRING
  VORLABWS_DESTINATION_ADDRESS2_MEMBERS(VORLABWS_SOAP_MEMBER)
};

class DestinationAddressOut2 : public SoapRecord {
 public:
  VORLABWS_SOAP_RECORD_WIRING
  VORLABWS_DESTINATION_ADDRESS_OUT2_MEMBERS(VORLABWS_SOAP_MEMBER)
};

class LabelToPrint2 : public SoapRecord {
 public:
  VORLABWS_SOAP_RECORD_WIRING
  VORLABWS_LABEL_TO_PRINT2_MEMBERS(VORLABWS_SOAP_MEMBER)
};

// Subtypes without members of their own, registered under their parent's schema type name. The
// program never creates them; a reply whose result names one by xsi:type is read into it.
template <typename Parent>
class RegisteredSubtype : public Parent {
 public:
  bool IsRegisteredSubtype() const override { return true; }
};

class DestinationAddress final : public RegisteredSubtype<DestinationAddress2> {};
class DestinationAddressOut final : public RegisteredSubtype<DestinationAddressOut2> {};
class LabelToPrint final : public RegisteredSubtype<LabelToPrint2> {};

// Schema type "ArrayOfLabelToPrint" (Printlabel namespace): the list owns its labels.
using ArrayOfLabelToPrint = std::vector<std::unique_ptr<LabelToPrint2>>;

// The service, bound to one endpoint. Every failure of a call is raised (soap_failures.h, and
// ServiceLocationFailure in WSDL mode); no operation reports failure through its result.
class EasySpedDEWS {
 public:
  virtual ~EasySpedDEWS() = default;

  // No record (nullptr) when the reply has no result element or marks it nil.
  virtual std::unique_ptr<DestinationAddressOut2> CalculateBRTSort(
      const DestinationAddress2& address) = 0;
  // The courier's ZPL label text.
  virtual std::u16string GetLabelForZebraPrinter(const ArrayOfLabelToPrint& labels, int32_t x,
                                                 int32_t y) = 0;
  virtual std::vector<uint8_t> GetLabelPDF(const ArrayOfLabelToPrint& labels, bool dialogToPrint,
                                           int32_t fakeLabels) = 0;
  virtual std::u16string SayHello(const std::u16string& name_) = 0;
};

// The service proxy. With `UseWSDL` the endpoint and SOAP actions come from the service description
// at `Addr` (read once, before the first call), else `Addr` is the endpoint URL. An empty `Addr`
// takes this build's default: the WSDL location (replaced by the environment variable
// VORLABWS_BRT_WSDL when set and not empty) or the URL. The proxy shares `client` when given, else
// makes its own; a request that does not arrive or stalls ends by the client's time limits.
std::shared_ptr<EasySpedDEWS> GetEasySpedDEWS(bool UseWSDL, const std::u16string& Addr,
                                              std::shared_ptr<HttpClient> client = nullptr);

// Where the service description is read: VORLABWS_BRT_WSDL when set and not empty, else this
// build's default.
std::u16string EasySpedWsdlLocation();

// The time limits of a client for the service: the HTTP client's own, or the whole seconds of the
// environment variable VORLABWS_BRT_TIMEOUT, when set and not empty, both for connecting and for a
// request during which no data moves. Raises when that variable holds anything else.
HttpTimeouts EasySpedTimeouts();

}  // namespace vorlabws
