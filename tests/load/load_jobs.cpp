#include "tests/load/load_jobs.h"

#include "platform/code_page.h"
#include "platform/text.h"
#include "tests/brt/brt_job_support.h"
#include "tests/dhl/dhl_test_support.h"

namespace vorlabws::testing {
namespace {

// A text as an SQL literal.
std::string Literal(const std::string& text) {
  std::string literal = "'";
  for (const char c : text) literal += c == '\'' ? std::string("''") : std::string(1, c);
  return literal + "'";
}

std::u16string Text(const std::string& utf8) { return Utf8ToUtf16(utf8); }
std::u16string Number(int64_t value) { return IntToText(value); }

// A label or manifest text as the job stores it: every apostrophe as "´".
std::u16string Stored(const std::u16string& text) { return ReplaceAll(text, u"'", u"\u00B4"); }

std::u16string ZeroFilled(const std::u16string& text, size_t width) {
  return text.size() >= width ? text : std::u16string(width - text.size(), u'0') + text;
}

// The texts with "|" between them, the way the load's label templates and the courier report lay
// out their fields.
std::u16string Fields(const std::vector<std::u16string>& fields) {
  std::u16string text;
  for (const std::u16string& field : fields) text += (text.empty() ? u"" : u"|") + field;
  return text;
}

// The digit that makes `digits` followed by it a valid Luhn number.
std::u16string LuhnCheckDigit(const std::u16string& digits) {
  int sum = 0;
  bool doubled = true;  // the rightmost digit is doubled
  for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit, doubled = !doubled) {
    const int value = (*digit - u'0') * (doubled ? 2 : 1);
    sum += value > 9 ? value - 9 : value;
  }
  return Number((10 - sum % 10) % 10);
}

// Weights of the shipments: the SQL value, its text as the worker reads it, and with one decimal
// rounded half to even as the BRT label shows it.
struct Weight {
  const char* sql;
  const char16_t* read;
  const char16_t* one_decimal;
};
constexpr Weight kWeights[] = {{"12.25", u"12,25", u"12,2"},
                               {"3.5", u"3,5", u"3,5"},
                               {"0.75", u"0,75", u"0,8"},
                               {"7", u"7", u"7"}};
// Chosen so that both couriers' shipments, odd and even headers, get every weight.
const Weight& WeightOf(const Shipment& shipment) {
  return kWeights[shipment.testata / 3 % std::size(kWeights)];
}

// Where a shipment goes: the recipient's company (its name gets the header's number), address
// and country, and how its courier answers for it: routed, or the outcome the job ends with.
struct Destination {
  const char* company;
  const char* street;
  const char* number;
  const char* postcode;
  const char* city;
  const char* province;
  const char* country;
  const char16_t* outcome;  // when the courier does not route the shipment
};

std::string Recipient(const Destination& destination, const Shipment& shipment) {
  return std::string(destination.company) + " " + std::to_string(shipment.testata);
}

// The recipient's columns of the shipment's header, with `more` columns.
Columns RecipientColumns(const Destination& address, const Shipment& shipment, Columns more) {
  more.insert({{"DEST_RAGSOC", Literal(Recipient(address, shipment))},
               {"DEST_VIA", Literal(address.street)},
               {"DEST_NRCIVICO", Literal(address.number)},
               {"DEST_CAP", Literal(address.postcode)},
               {"DEST_CITTA", Literal(address.city)},
               {"DEST_PROVINCIA", Literal(address.province)},
               {"DEST_NAZIONE", Literal(address.country)}});
  return more;
}

// ---- BRT: the stand-in routes by postcode (tools/brt-standin/answers.h).

// The stand-in's routing of a destination; an arrival depot of 0 is none.
struct BrtRoute {
  int depot;
  const char16_t* depot_name;
  int terminal;
  int zone;
};

struct BrtDestination {
  Destination address;
  BrtRoute route;
};

const BrtDestination kBrtDestinations[] = {
    {{"L'Officina del Gusto", "Via dell'Orso", "12/A", "20121", "MILANO", "MI", "", nullptr},
     {100, u"MILANO", 101, 12}},
    {{"Trattoria da Mario", "Via Nazionale", "45", "00184", "ROMA", "RM", "", nullptr},
     {170, u"ROMA", 172, 5}},
    {{"Ferramenta Subalpina", "Corso Vittorio Emanuele II", "8", "10121", "TORINO", "TO", "",
      nullptr},
     {50, u"TORINO", 51, 3}},
    {{"Libreria Felsinea", "Via dell'Indipendenza", "3", "40121", "BOLOGNA", "BO", "", nullptr},
     {130, u"BOLOGNA", 131, 7}},
    {{"Pasticceria Partenopea", "Via Toledo", "156", "80133", "NAPOLI", "NA", "", nullptr},
     {240, u"NAPOLI", 241, 9}},
    {{"Fontina d'Alpeggio", "Via Sant'Anselmo", "2", "11100", "AOSTA", "AO", "", nullptr},
     {57, u"VALLE D'AOSTA", 58, 1}},
    {{"Bottega Sconosciuta", "Via Ignota", "1", "12345", "NESSUNO", "NN", "",
      u"003 - Errore E47: CAP 12345 inesistente"},
     {0, u"", 0, 0}},
    {{"Bottega Senza Rotta", "Via Persa", "9", "99999", "NESSUNO", "NN", "",
      u"003 - Trasportatore non valido"},
     {0, u"", 0, 0}},
};

constexpr char kBrtShipper[] = "Magazzini Vorlab S.p.A.";
constexpr char kBrtShipperProvince[] = "TO";
constexpr int kBrtParcelDepot = 12;      // PO_SEGNACOLLO
constexpr int kBrtSeries = 1;            // NUMERO_SERIE
constexpr int kBrtDepartureDepot = 130;  // PO_PARTENZA, named BOLOGNA by the stand-in

// A BRT parcel number: seven digits, distinct for every parcel.
int BrtParcelNumber(const Shipment& shipment, int riga) {
  return 1000000 + shipment.testata * 10 + riga;
}

Columns BrtColumns(const Shipment& shipment) {
  const Destination& address = kBrtDestinations[shipment.destination].address;
  return RecipientColumns(
      address, shipment,
      {{"MITT_RAGSOC", Literal(kBrtShipper)},
       {"MITT_PROVINCIA", Literal(kBrtShipperProvince)},
       {"TOTALE_SEGNA_COLLI", std::to_string(shipment.parcels)},
       {"PESO_TOT", WeightOf(shipment).sql},
       {"PO_SEGNACOLLO", Literal(std::to_string(kBrtParcelDepot))},
       {"NUMERO_SERIE", std::to_string(kBrtSeries)},
       {"PO_PARTENZA", std::to_string(kBrtDepartureDepot)},
       {"NUMERO_SEGNA_COLLO", Literal(std::to_string(BrtParcelNumber(shipment, 1)))},
       {"NUMERO_SEGNA_COLLO_DI", "1"}});
}

// The 17 digits of the parcel's bar code.
std::u16string BrtBarcode(const BrtRoute& route, int parcel_number) {
  return ZeroFilled(Number(kBrtParcelDepot), 3) + ZeroFilled(Number(route.depot), 3) +
         ZeroFilled(Number(kBrtSeries), 2) + ZeroFilled(Number(parcel_number), 7) +
         ZeroFilled(Number(route.zone), 2);
}

// The stand-in's Zebra label for the parcel: its lines, each ended by LF.
std::u16string BrtCourierLabel(const Shipment& shipment, int riga) {
  const Destination& address = kBrtDestinations[shipment.destination].address;
  const BrtRoute& route = kBrtDestinations[shipment.destination].route;
  const int parcel_number = BrtParcelNumber(shipment, riga);
  const std::u16string lines[] = {
      u"^XA",
      u"^LH110,0",
      u"^FO20,20^A0N,28,28^FDMITT: " + Text(kBrtShipper) + u" (" + Text(kBrtShipperProvince) +
          u")^FS",
      u"^FO20,60^A0N,36,36^FD" + Text(Recipient(address, shipment)) + u"^FS",
      u"^FO20,105^A0N,28,28^FD" + Text(address.street) + u", " + Text(address.number) + u"^FS",
      u"^FO20,140^A0N,28,28^FD" + Text(address.postcode) + u" " + Text(address.city) + u" " +
          Text(address.province) + u"^FS",
      u"^FO20,190^A0N,60,60^FD" + ZeroFilled(Number(route.depot), 3) + u" " + route.depot_name +
          u"^FS",
      u"^FO20,260^A0N,28,28^FDCOLLO " + Number(parcel_number) + u" DI " + Number(riga) + u" PESO " +
          Text(WeightOf(shipment).sql) + u"^FS",
      u"^FO20,300^BCN,100,Y,N,N^FD" + BrtBarcode(route, parcel_number) + u"^FS",
      u"^XZ",
  };
  std::u16string label;
  for (const std::u16string& line : lines) label += line + u"\n";
  return Stored(label);
}

// The load's own BRT label (BrtLoadTemplate) for the parcel: its fields between "|".
std::u16string BrtTemplateLabel(const Shipment& shipment, int riga) {
  const Destination& address = kBrtDestinations[shipment.destination].address;
  const BrtRoute& route = kBrtDestinations[shipment.destination].route;
  const std::u16string zone = Number(route.zone);
  const std::u16string barcode = BrtBarcode(route, BrtParcelNumber(shipment, riga));
  return Stored(Fields({
                    Text(Recipient(address, shipment)).substr(0, 25),
                    Text(address.city),
                    Text(address.province),
                    WeightOf(shipment).one_decimal,
                    zone.size() < 2 ? u" " + zone : zone,
                    ZeroFilled(Number(route.depot), 3),
                    ZeroFilled(Number(route.terminal), 3),
                    ReplaceAll(Number(BrtParcelNumber(shipment, riga)), u"0", u"O"),
                    barcode + LuhnCheckDigit(barcode),
                }) +
                u"\r\n");
}

ExpectedJob ExpectedBrtJob(const Shipment& shipment, int riga) {
  const BrtDestination& destination = kBrtDestinations[shipment.destination];
  const BrtRoute& route = destination.route;
  if (route.depot == 0) {
    return {.exit_code = 3,
            .esito = destination.address.outcome,
            .header = {{"ZONA_SEGNACOLLO", u""},
                       {"PO_ARRIVO", u""},
                       {"PO_ARRIVO_DESCRIZIONE", u""},
                       {"PO_PARTENZA_DESCRIZIONE", u""},
                       {"TERMINAL_ARRIVO", u""}},
            .row = {{"REPORT_ETICHETTA", u""}, {"REPORT_CUSTOM", u""}}};
  }
  return {.exit_code = 0,
          .esito = u"000 - Completato",
          .header = {{"ZONA_SEGNACOLLO", Number(route.zone)},
                     {"PO_ARRIVO", Number(route.depot)},
                     {"PO_ARRIVO_DESCRIZIONE", Stored(route.depot_name)},
                     {"PO_PARTENZA_DESCRIZIONE", u"BOLOGNA"},
                     {"TERMINAL_ARRIVO", Number(route.terminal)}},
          .row = {{"REPORT_ETICHETTA", BrtCourierLabel(shipment, riga)},
                  {"REPORT_CUSTOM", BrtTemplateLabel(shipment, riga)}}};
}

// ---- DHL: the stand-in routes by the receiver's city, postcode and country and the product
// (tools/dhl-standin/dhl_standin_reply.cpp).

struct DhlDestination {
  Destination address;
  const char* network;  // the product
  const char* account;  // the shipper's account with the service
  // The routing of the reply, unless the address's outcome says otherwise.
  const char16_t* product_name = nullptr;
  const char16_t* area = nullptr;      // the destination's service area
  const char16_t* facility = nullptr;  // its facility
  const char16_t* content_code = nullptr;
  const char16_t* content_video = nullptr;
  const char16_t* country_name = nullptr;
  const char16_t* routing_text = nullptr;
  const char16_t* city_in_capitals = nullptr;  // as the label shows it: a to z raised
};

constexpr char kAccount[] = "961234567";

const DhlDestination kDhlDestinations[] = {
    {{"Hanseatic Supplies", "Grosse Elbstrasse", "145", "22767", "Hamburg", "HH", "DE", nullptr},
     "P",
     kAccount,
     u"EXPRESS WORLDWIDE",
     u"HAM",
     u"HAM-22",
     u"WPX",
     u"Y",
     u"GERMANY",
     u"DE22767+48000000",
     u"HAMBURG"},
    {{"L'Atelier du Goût", "Rue de Rivoli", "25", "75001", "Paris", "IDF", "FR", nullptr},
     "P",
     kAccount,
     u"EXPRESS WORLDWIDE",
     u"PAR",
     u"PAR-75",
     u"WPX",
     u"Y",
     u"FRANCE",
     u"FR75001+48000000",
     u"PARIS"},
    {{"Konditorei Wiener", "Kärntner Straße", "12", "1010", "Wien", "W", "AT", nullptr},
     "W",
     kAccount,
     u"ECONOMY SELECT",
     u"WIE",
     u"WIE-10",
     u"ECX",
     u"Y",
     u"AUSTRIA",
     u"AT1010+73000000",
     u"WIEN"},
    {{"Trattoria Romana", "Via Nazionale", "45", "00184", "Roma", "RM", "IT", nullptr},
     "N",
     kAccount,
     u"DOMESTIC EXPRESS",
     u"ROM",
     u"ROM-00",
     u"DOM",
     u"N",
     u"ITALY",
     u"IT00184+73000000",
     u"ROMA"},
    {{"Uhrenhaus am See", "Bahnhofstrasse", "21", "8001", "Zürich", "ZH", "CH", nullptr},
     "D",
     kAccount,
     u"EXPRESS WORLDWIDE",
     u"ZRI",
     u"ZRI-80",
     u"WPX",
     u"Y",
     u"SWITZERLAND",
     u"CH8001+48000000",
     u"ZüRICH"},
    {{"Empire Imports", "Fifth Avenue", "350", "10001", "New York", "NY", "US", nullptr},
     "T",
     kAccount,
     u"EXPRESS 12:00",
     u"NEW",
     u"NEW-10",
     u"WPX",
     u"Y",
     u"UNITED STATES OF AMERICA",
     u"US10001+48000000",
     u"NEW YORK"},
    {{"Société Ivoirienne", "Boulevard Lagunaire", "7", "01 BP", "Abidjan", "AB", "CI", nullptr},
     "P",
     kAccount,
     u"EXPRESS WORLDWIDE",
     u"ABI",
     u"ABI-01",
     u"WPX",
     u"Y",
     u"COTE D'IVOIRE",
     u"CI01BP+48000000",
     u"ABIDJAN"},
    {.address = {"Destinatario Senza CAP", "Unter den Linden", "1", "", "Berlin", "BE", "DE",
                 u"003 - Receiver postcode is missing"},
     .network = "P",
     .account = kAccount},
    {.address = {"Cliente Fuori Contratto", "Grosse Elbstrasse", "9", "22767", "Hamburg", "HH",
                 "DE", u"003 - Errore nei dati della spedizione"},
     .network = "P",
     .account = "12"},
};

// The shipper, the same for every DHL shipment of the load.
struct DhlShipper {
  const char* column;
  const char* value;
};
constexpr DhlShipper kDhlShipper[] = {{"MITT_RAGSOC", "Vorlab Logistica S.r.l."},
                                      {"MITT_VIA", "Corso Francia"},
                                      {"MITT_NRCIVICO", "110"},
                                      {"MITT_CAP", "10143"},
                                      {"MITT_CITTA", "Torino"},
                                      {"MITT_PROVINCIA", "TO"},
                                      {"MITT_NAZIONE", "IT"},
                                      {"MITT_TELEFONO", "+39 011 7654321"},
                                      {"MITT_OPERATORE", "Luca Ferrero"}};
std::u16string Shipper(const char* column) {
  for (const DhlShipper& value : kDhlShipper) {
    if (std::string(value.column) == column) return Text(value.value);
  }
  return u"";
}

constexpr char kContent[] = "Ricambi meccanici";
constexpr char kValue[] = "480";  // VALORE_SPEDIZIONE, which reads back as the same text

std::string DhlShipmentNumber(const Shipment& shipment) {
  return "40" + Utf16ToUtf8(ZeroFilled(Number(shipment.testata), 8));
}
std::string DhlParcelNumber(const Shipment& shipment, int riga) {
  return "JD0146" + Utf16ToUtf8(ZeroFilled(Number(shipment.testata * 100 + riga), 12));
}

Columns DhlColumns(const Shipment& shipment) {
  const DhlDestination& destination = kDhlDestinations[shipment.destination];
  const Destination& address = destination.address;
  Columns columns =
      RecipientColumns(address, shipment,
                       {{"MITT_FATTURAZIONE", Literal(destination.account)},
                        {"MITT_SPEDIZIONE", Literal("ORD-" + std::to_string(shipment.testata))},
                        {"NETWORK", Literal(destination.network)},
                        {"NUMERO_SPEDIZIONE", Literal(DhlShipmentNumber(shipment))},
                        {"DESCRIZIONE_SPEDIZIONE", Literal(kContent)},
                        {"TOTALE_SEGNA_COLLI", std::to_string(shipment.parcels)},
                        {"PESO_TOT", WeightOf(shipment).sql},
                        {"VALORE_SPEDIZIONE", kValue},
                        {"RESA", "'DAP'"},
                        {"ANNO", "2024"},
                        {"MESE", "'11'"},
                        {"GIORNO", "'28'"},
                        {"NUMERO_SEGNA_COLLO", Literal(DhlParcelNumber(shipment, 1))},
                        {"NUMERO_SEGNA_COLLO_DI", "1"},
                        {"NUMERO_SEGNA_COLLO_CHECK", "'J'"},
                        {"CODICECARTONE", Literal("CT-" + std::to_string(shipment.testata))},
                        {"PESO", WeightOf(shipment).sql},
                        {"DESCRIZIONE_COLLO", "'Collo 1'"}});
  for (const DhlShipper& value : kDhlShipper) columns[value.column] = Literal(value.value);
  return columns;
}

// One of the service's two print documents of the parcel.
std::u16string DhlServiceDocument(const Shipment& shipment, int riga, const std::u16string& title) {
  const DhlDestination& destination = kDhlDestinations[shipment.destination];
  const Destination& address = destination.address;
  return Stored(
      JoinLines({
          u"^XA",
          u"^CI27",
          u"^PW812",
          u"^LL1218",
          u"^FO30,30^A0N,40,40^FD" + title + u" " + destination.product_name + u"^FS",
          u"^FO30,90^A0N,30,30^FDWaybill " + Text(DhlShipmentNumber(shipment)) + u"  Piece " +
              Number(riga) + u"/" + Number(shipment.parcels) + u"^FS",
          u"^FO30,140^A0N,28,28^FDFrom " + Shipper("MITT_RAGSOC") + u", " + Shipper("MITT_CITTA") +
              u"^FS",
          u"^FO30,180^A0N,28,28^FDTo " + Text(Recipient(address, shipment)) + u", " +
              Text(address.street) + u" " + Text(address.number) + u"^FS",
          u"^FO30,220^A0N,36,36^FD" + Text(address.postcode) + u" " + Text(address.city) + u"^FS",
          u"^FO30,280^A0N,30,30^FDContent " + Text(kContent) + u"  Weight " +
              Text(WeightOf(shipment).sql) + u" kg  Date 2024-11-28^FS",
          u"^FO30,340^A0N,30,30^FD" + std::u16string(destination.routing_text) + u"^FS",
          u"^BY3,3,220^FO40,400^BCN,220,Y,N,N,A^FDJ" + Text(DhlParcelNumber(shipment, riga)) +
              u"^FS",
          u"^XZ",
      }) +
      u"\r\n");
}

// The load's own DHL label (DhlLoadTemplate) for the parcel.
std::u16string DhlTemplateLabel(const Shipment& shipment, int riga) {
  const DhlDestination& destination = kDhlDestinations[shipment.destination];
  return Stored(Fields({
                    destination.product_name,
                    destination.content_code,
                    destination.area,
                    destination.facility,
                    destination.country_name,
                    ReplaceAll(destination.routing_text, u"+", u" + "),
                    Text(DhlShipmentNumber(shipment)),
                    u"J" + Text(DhlParcelNumber(shipment, riga)),
                    Text(Recipient(destination.address, shipment)),
                    destination.city_in_capitals,
                }) +
                u"\r\n");
}

ExpectedJob ExpectedDhlJob(const Shipment& shipment, int riga) {
  const DhlDestination& destination = kDhlDestinations[shipment.destination];
  if (destination.address.outcome != nullptr) {
    ColumnTexts header;
    for (const char* column : {"PRODOTTO", "MITT_NAZIONE_DESCR", "MITT_FILIALE", "DEST_FILIALE",
                               "ZONA_SEGNACOLLO", "CODICE_PRODOTTO", "SFONDO_PRODOTTO",
                               "DEST_NAZIONE_DESCR", "PO_SEGNACOLLO", "PO_SEGNACOLLO_DESCR"}) {
      header.push_back({column, u""});
    }
    return {.exit_code = 3,
            .esito = destination.address.outcome,
            .header = header,
            .row = {{"REPORT_ETICHETTA", u""}, {"REPORT_ARCHIVIO", u""}, {"REPORT_CUSTOM", u""}}};
  }
  return {.exit_code = 0,
          .esito = u"000 - Completato",
          .header = {{"PRODOTTO", destination.product_name},
                     {"MITT_NAZIONE_DESCR", u"ITALY"},
                     {"MITT_FILIALE", u"TOR"},
                     {"DEST_FILIALE", destination.area},
                     {"ZONA_SEGNACOLLO", destination.facility},
                     {"CODICE_PRODOTTO", destination.content_code},
                     {"SFONDO_PRODOTTO", destination.content_video},
                     {"DEST_NAZIONE_DESCR", Stored(destination.country_name)},
                     {"PO_SEGNACOLLO", u"2L"},
                     {"PO_SEGNACOLLO_DESCR", destination.routing_text}},
          .row = {{"REPORT_ETICHETTA", DhlServiceDocument(shipment, riga, u"LABEL")},
                  {"REPORT_ARCHIVIO", DhlServiceDocument(shipment, riga, u"ARCHIVE COPY")},
                  {"REPORT_CUSTOM", DhlTemplateLabel(shipment, riga)}}};
}

}  // namespace

std::string BrtLoadTemplate() {
  return "@DEST_RAGSOC@|@DEST_CITTA@|@DEST_PROVINCIA@|@PESO@|@ZONA_SEGNACOLLO@|@PO_ARRIVO@|"
         "@TERMINAL_ARRIVO@|@NUMERO_SEGNA_COLLO_1@@NUMERO_SEGNA_COLLO_2@|@PO_BARCODE@\n";
}

std::string DhlLoadTemplate() {
  return "@PRODOTTO@|@CODICE_PRODOTTO@|@DEST_FILIALE@|@ZONA_SEGNACOLLO@|@DEST_NAZIONE_DESCR@|"
         "@PO_SEGNACOLLO_DESCR@|@NUMERO_SPEDIZIONE@|@PIECES_LP_1@@PIECES_LP_2@|@DEST_RAGSOC@|"
         "@DEST_CITTA@\n";
}

size_t DestinationCount(Courier courier) {
  return courier == Courier::kBrt ? std::size(kBrtDestinations) : std::size(kDhlDestinations);
}

void AddShipment(const JobDatabase& database, const Shipment& shipment) {
  if (shipment.courier == Courier::kBrt) {
    AddBrtJob(database, shipment.testata, 1, BrtColumns(shipment));
  } else {
    AddDhlJob(database, shipment.testata, 1, DhlColumns(shipment));
  }
  // Further parcels are copies of the first with their own number and sequence.
  for (int riga = 2; riga <= shipment.parcels; ++riga) {
    const std::string number = shipment.courier == Courier::kBrt
                                   ? std::to_string(BrtParcelNumber(shipment, riga))
                                   : DhlParcelNumber(shipment, riga);
    const std::string r = std::to_string(riga);
    database.Execute(
        "INSERT INTO VORLABR (TESTATA, RIGA, NUMERO_SEGNA_COLLO, NUMERO_SEGNA_COLLO_DI, "
        "NUMERO_SEGNA_COLLO_CHECK, CODICE_COLLO, CODICECARTONE, PESO, VOLUME, DESCRIZIONE_COLLO) "
        "SELECT TESTATA, " +
        r + ", " + Literal(number) + ", " + r +
        ", NUMERO_SEGNA_COLLO_CHECK, CODICE_COLLO, CODICECARTONE, PESO, VOLUME, 'Collo " + r +
        "' FROM VORLABR WHERE TESTATA=" + std::to_string(shipment.testata) + " AND RIGA=1");
  }
}

ExpectedJob ExpectedLabelJob(const Shipment& shipment, int riga) {
  return shipment.courier == Courier::kBrt ? ExpectedBrtJob(shipment, riga)
                                           : ExpectedDhlJob(shipment, riga);
}

ManifestEntry ExpectedManifestEntry(const Shipment& shipment, bool routed) {
  const DhlDestination& destination = kDhlDestinations[shipment.destination];
  const Destination& address = destination.address;
  const std::u16string weight = WeightOf(shipment).read;
  const std::u16string area = routed ? destination.area : u"";
  const std::u16string content_code = routed ? destination.content_code : u"";
  const std::u16string zone = routed ? std::u16string(destination.facility).substr(0, 3) : u"";
  const std::u16string number = Text(DhlShipmentNumber(shipment));
  const std::u16string reference = u"ORD-" + Number(shipment.testata);
  ManifestEntry entry;
  entry.records = FixedWidthRecord(849, {{1, u"FF0SHP2"},
                                         {8, ZeroFilled(Text(destination.account), 14)},
                                         {22, number},
                                         {32, area},
                                         {35, reference},
                                         {70, Shipper("MITT_RAGSOC")},
                                         {105, Shipper("MITT_OPERATORE")},
                                         {175, Shipper("MITT_VIA")},
                                         {210, Shipper("MITT_NRCIVICO")},
                                         {245, Shipper("MITT_CITTA")},
                                         {265, Shipper("MITT_PROVINCIA")},
                                         {310, Shipper("MITT_CAP")},
                                         {322, Shipper("MITT_TELEFONO")},
                                         {362, Shipper("MITT_NAZIONE")},
                                         {365, u"A"},
                                         {380, Text(Recipient(address, shipment))},
                                         {485, Text(address.street)},
                                         {520, Text(address.number)},
                                         {555, Text(address.city)},
                                         {575, Text(address.province)},
                                         {620, Text(address.postcode)},
                                         {672, Text(address.country)},
                                         {675, u"A"},
                                         {676, content_code},
                                         {679, Number(shipment.parcels)},
                                         {683, ZeroFilled(weight, 10) + u"KGM3"},
                                         {697, u"0000000000MTQ3"},
                                         {711, ZeroFilled(Text(kValue), 10) + u"EUR2"},
                                         {725, Text(kContent)},
                                         {756, u"DAP"},
                                         {759, u"P"},
                                         {829, u"20241128"},
                                         {847, zone}});
  for (int riga = 1; riga <= shipment.parcels; ++riga) {
    entry.records += FixedWidthRecord(206, {{1, u"FF0PCE"},
                                            {7, u"CT-" + Number(shipment.testata)},
                                            {92 - weight.size(), weight + u"KGM3"},
                                            {131, u"MTQ3"},
                                            {135, Text(DhlParcelNumber(shipment, riga))},
                                            {172, u"Collo " + Number(riga)}});
  }
  entry.report_line = Fields({
                          number,
                          Text(destination.account),
                          weight,
                          u"",  // no volume
                          area,
                          content_code,
                          reference,
                          Number(shipment.parcels),
                          Text(Recipient(address, shipment)),
                          Text(address.street) + u" " + Text(address.number),
                          Text(address.city),
                          Text(address.postcode),
                          Text(kValue),
                          u"",
                          u"",
                      }) +
                      u"\r\n";
  entry.records = Stored(entry.records);
  entry.report_line = Stored(entry.report_line);
  return entry;
}

}  // namespace vorlabws::testing
