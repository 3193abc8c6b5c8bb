#include "tools/dhl-standin/dhl_standin_reply.h"

#include <map>
#include <optional>
#include <vector>

#include "platform/base64.h"
#include "platform/code_page.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "platform/xml.h"

namespace vorlabws::standin {
namespace {

constexpr std::u16string_view kEnvelopeNamespace = u"http://schemas.xmlsoap.org/soap/envelope/";
constexpr std::u16string_view kResponseNamespace = u"urn:vorlabws:dhl-standin";

const std::map<std::u16string, std::u16string> kCountryNames = {
    {u"AT", u"AUSTRIA"},
    {u"BE", u"BELGIUM"},
    {u"CH", u"SWITZERLAND"},
    {u"CI", u"COTE D'IVOIRE"},
    {u"DE", u"GERMANY"},
    {u"ES", u"SPAIN"},
    {u"FR", u"FRANCE"},
    {u"GB", u"UNITED KINGDOM"},
    {u"IT", u"ITALY"},
    {u"NL", u"NETHERLANDS"},
    {u"US", u"UNITED STATES OF AMERICA"},
};

const std::map<std::u16string, std::u16string> kProductNames = {
    {u"N", u"DOMESTIC EXPRESS"},  {u"1", u"DOMESTIC EXPRESS 12:00"}, {u"P", u"EXPRESS WORLDWIDE"},
    {u"U", u"EXPRESS WORLDWIDE"}, {u"D", u"EXPRESS WORLDWIDE"},      {u"K", u"EXPRESS 9:00"},
    {u"E", u"EXPRESS 9:00"},      {u"T", u"EXPRESS 12:00"},          {u"Y", u"EXPRESS 12:00"},
    {u"W", u"ECONOMY SELECT"},
};
const std::u16string kAirProducts = u"U301KTPEYD";

// The fields of a request the stand-in reads; empty where the request has none.
struct Shipment {
  std::u16string shipment_id, check_digit, product, pickup_date, account, weight, pieces, content;
  std::u16string shipper, shipper_city, shipper_postcode, shipper_country;
  std::u16string receiver, receiver_street, receiver_number, receiver_city, receiver_postcode,
      receiver_country;
  std::u16string piece_sequence, licence_plate, data_identifier;
};

std::optional<XmlNode> ChildNamed(const XmlNode& node, std::u16string_view local_name) {
  for (const XmlNode& child : node.ChildElements()) {
    if (child.LocalName() == local_name) return child;
  }
  return std::nullopt;
}

// The text of the element reached through `path`; empty when any step is missing.
std::u16string TextAt(const XmlNode& from, std::initializer_list<std::u16string_view> path) {
  std::optional<XmlNode> node = from;
  for (const std::u16string_view step : path) {
    if (node) node = ChildNamed(*node, step);
  }
  return node ? node->Text() : u"";
}

Shipment ReadShipment(const XmlDocument& request) {
  const XmlNode root = request.DocumentElement();
  const std::optional<XmlNode> body = ChildNamed(root, u"Body");
  const std::optional<XmlNode> rendering =
      body ? ChildNamed(*body, u"DocumentRenderingRequest") : std::nullopt;
  const std::optional<XmlNode> found =
      rendering ? ChildNamed(*rendering, u"Shipment") : std::nullopt;
  if (!found) return {};
  const XmlNode& s = *found;
  const std::optional<XmlNode> plate = [&]() -> std::optional<XmlNode> {
    const std::optional<XmlNode> piece = ChildNamed(s, u"Piece");
    return piece ? ChildNamed(*piece, u"LicencePlate") : std::nullopt;
  }();
  return {
      .shipment_id = TextAt(s, {u"ShipmentId"}),
      .check_digit = TextAt(s, {u"ShipmentIdCheckDigit"}),
      .product = TextAt(s, {u"NetworkProductCode"}),
      .pickup_date = TextAt(s, {u"PickupDate"}),
      .account = TextAt(s, {u"FreightAccountNumber"}),
      .weight = TextAt(s, {u"Weight"}),
      .pieces = TextAt(s, {u"TotalPieces"}),
      .content = TextAt(s, {u"Content"}),
      .shipper = TextAt(s, {u"Shipper", u"Address1"}),
      .shipper_city = TextAt(s, {u"Shipper", u"City"}),
      .shipper_postcode = TextAt(s, {u"Shipper", u"PostCode"}),
      .shipper_country = TextAt(s, {u"Shipper", u"CountryCode"}),
      .receiver = TextAt(s, {u"Receiver", u"Address1"}),
      .receiver_street = TextAt(s, {u"Receiver", u"StreetName"}),
      .receiver_number = TextAt(s, {u"Receiver", u"StreetNumber"}),
      .receiver_city = TextAt(s, {u"Receiver", u"City"}),
      .receiver_postcode = TextAt(s, {u"Receiver", u"PostCode"}),
      .receiver_country = TextAt(s, {u"Receiver", u"CountryCode"}),
      .piece_sequence = TextAt(s, {u"Piece", u"Sequence"}),
      .licence_plate = plate ? plate->Text() : u"",
      .data_identifier = plate ? plate->Attribute(u"DataIdentifier").value_or(u"") : u"",
  };
}

bool IsDigits(const std::u16string& text) {
  if (text.empty()) return false;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}

// Digits with at most one decimal point.
bool IsDecimal(const std::u16string& text) {
  const size_t point = text.find(u'.');
  if (point == std::u16string::npos) return IsDigits(text);
  return IsDigits(text.substr(0, point)) && IsDigits(text.substr(point + 1));
}

struct Message {
  std::u16string category;
  std::u16string description;
};

std::vector<Message> Validate(const Shipment& shipment) {
  std::vector<Message> messages;
  if (shipment.account.size() != 9 || !IsDigits(shipment.account)) {
    messages.push_back({u"Error", u"Account '" + shipment.account + u"' may not render documents"});
  }
  if (shipment.receiver_postcode.empty()) {
    messages.push_back({u"Validation Error", u"Receiver postcode is missing"});
  }
  if (!IsDecimal(shipment.weight)) {
    messages.push_back(
        {u"Validation Error", u"Shipment weight '" + shipment.weight + u"' is not a number"});
  }
  return messages;
}

std::u16string Lookup(const std::map<std::u16string, std::u16string>& table,
                      const std::u16string& key, const std::u16string& otherwise) {
  const auto found = table.find(key);
  return found == table.end() ? otherwise : found->second;
}

// Three capital letters from the city's name, the way service areas are named.
std::u16string ServiceArea(const std::u16string& city) {
  std::u16string area;
  for (char16_t c : city) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    if (c >= u'A' && c <= u'Z' && area.size() < 3) area += c;
  }
  return area + std::u16string(3 - area.size(), u'X');
}

bool Domestic(const Shipment& shipment) {
  return shipment.shipper_country == shipment.receiver_country;
}

bool Air(const Shipment& shipment) {
  return shipment.product.size() == 1 &&
         kAirProducts.find(shipment.product) != std::u16string::npos;
}

std::u16string WithoutBlanks(std::u16string text) {
  std::erase(text, u' ');
  return text;
}

std::vector<std::pair<std::u16string, std::u16string>> Routing(const Shipment& shipment) {
  const std::u16string destination_area = ServiceArea(shipment.receiver_city);
  return {
      {u"PRODUCT_NAME", Lookup(kProductNames, shipment.product, u"EXPRESS")},
      {u"ORG_COUNTRY_NAME",
       Lookup(kCountryNames, shipment.shipper_country, shipment.shipper_country)},
      {u"ORG_SRVA_CODE", ServiceArea(shipment.shipper_city)},
      {u"DEST_SRVA_CODE", destination_area},
      {u"DEST_FAC_CODE", destination_area + u"-" + shipment.receiver_postcode.substr(0, 2)},
      {u"CONTENT_CODE", Domestic(shipment) ? u"DOM" : (Air(shipment) ? u"WPX" : u"ECX")},
      {u"CONTENT_VIDEO", Domestic(shipment) ? u"N" : u"Y"},
      {u"DEST_COUNTRY_NAME",
       Lookup(kCountryNames, shipment.receiver_country, shipment.receiver_country)},
      {u"ROUTING_CODE_DATA_INDENTIFIER", u"2L"},
      {u"ROUTING_CODE_TEXT", shipment.receiver_country + WithoutBlanks(shipment.receiver_postcode) +
                                 (Air(shipment) ? u"+48000000" : u"+73000000")},
  };
}

// A 4x6 inch ZPL document in Windows-1252 with the licence plate bar code.
std::string RenderDocument(const Shipment& shipment, const std::u16string& title,
                           const std::u16string& routing_text, size_t document_bytes) {
  const std::u16string plate = shipment.data_identifier + shipment.licence_plate;
  const std::vector<std::u16string> lines = {
      u"^XA",
      u"^CI27",
      u"^PW812",
      u"^LL1218",
      u"^FO30,30^A0N,40,40^FD" + title + u"^FS",
      u"^FO30,90^A0N,30,30^FDWaybill " + shipment.shipment_id + shipment.check_digit + u"  Piece " +
          shipment.piece_sequence + u"/" + shipment.pieces + u"^FS",
      u"^FO30,140^A0N,28,28^FDFrom " + shipment.shipper + u", " + shipment.shipper_city + u"^FS",
      u"^FO30,180^A0N,28,28^FDTo " + shipment.receiver + u", " + shipment.receiver_street + u" " +
          shipment.receiver_number + u"^FS",
      u"^FO30,220^A0N,36,36^FD" + shipment.receiver_postcode + u" " + shipment.receiver_city +
          u"^FS",
      u"^FO30,280^A0N,30,30^FDContent " + shipment.content + u"  Weight " + shipment.weight +
          u" kg  Date " + shipment.pickup_date + u"^FS",
      u"^FO30,340^A0N,30,30^FD" + routing_text + u"^FS",
      u"^BY3,3,220^FO40,400^BCN,220,Y,N,N,A^FD" + plate + u"^FS",
  };
  const std::u16string zpl = JoinLines(lines) + u"\r\n";
  std::string bytes = Utf16ToCp1252(zpl);
  const std::string filler = "^FX " + std::string(70, '-') + "\r\n";
  while (bytes.size() + 5 < document_bytes) bytes += filler;
  return bytes + "^XZ\r\n";
}

XmlNode AppendEntry(
    XmlNode& parent, std::u16string_view element,
    std::initializer_list<std::pair<std::u16string_view, std::u16string>> attributes) {
  XmlNode node = parent.AppendElement(u"", element);
  for (const auto& [name, value] : attributes) node.SetAttribute(u"", name, value);
  return node;
}

}  // namespace

std::string RenderReply(const std::string& request_bytes, const ReplyOptions& options) {
  XmlDocument reply = XmlDocument::Create(kEnvelopeNamespace, u"soapenv", u"Envelope");
  XmlNode body = reply.DocumentElement().AppendElement(kEnvelopeNamespace, u"Body", u"soapenv");
  XmlNode response = body.AppendElement(kResponseNamespace, u"DocumentRenderingResponse", u"res");

  Shipment shipment;
  std::vector<Message> messages;
  try {
    shipment = ReadShipment(XmlDocument::Parse(request_bytes, u"request", XmlBlanks::kDrop));
    messages = Validate(shipment);
  } catch (const XmlError& error) {
    messages.push_back(
        {u"Error", u"The request is not well-formed XML: " + Utf8ToUtf16(error.what())});
  }
  for (const Message& message : messages) {
    AppendEntry(response, u"Message",
                {{u"Category", message.category}, {u"Description", message.description}});
  }
  if (!messages.empty()) return reply.Bytes();

  const auto routing = Routing(shipment);
  XmlNode data = response.AppendElement(u"", u"Data");
  for (const auto& [name, value] : routing) {
    AppendEntry(data, u"Entry", {{u"Name", name}, {u"Value", value}});
  }
  const std::u16string routing_text = routing.back().second;
  for (const std::u16string title : {u"LABEL", u"ARCHIVE COPY"}) {
    const std::string document = RenderDocument(shipment, title + u" " + routing[0].second,
                                                routing_text, options.document_bytes);
    AppendEntry(response, u"PrintDocument",
                {{u"Name", title}, {u"PrintCommand", Utf8ToUtf16(EncodeBase64(document))}});
  }
  return reply.Bytes();
}

}  // namespace vorlabws::standin
