// The DHL reply as the relay leaves it: the service's error messages (which decide the outcome),
// the ten routing values that go into the job header, and the first two rendered print documents.
// The reply is read from a parsed document the job context owns; nothing here keeps it. The relay
// reads its error answers with it too, so this unit needs nothing beyond the platform.
#pragma once

#include <optional>
#include <string>

#include "platform/failure.h"
#include "platform/xml.h"

namespace vorlabws {

// A reply that lacks a value the job needs (a routing value, a description, a print document).
class DhlReplyError : public Failure {
 public:
  using Failure::Failure;
};

// The routing values of the reply, empty where it gave none.
struct DhlRouting {
  std::u16string Prodotto;
  std::u16string Mitt_Nazione;
  std::u16string Mitt_Filiale;
  std::u16string Dest_Filiale;
  std::u16string Zona_Segnacollo;
  std::u16string CODICE_PRODOTTO;
  std::u16string SFONDO_PRODOTTO;
  std::u16string Dest_Nazione;
  std::u16string PO_SEGNACOLLO;
  std::u16string PO_SEGNACOLLO_DESCR;
};

struct DhlReply {
  // The outcome set by the last "Error" or "Validation Error" message; none when there was none.
  std::optional<std::u16string> error_outcome;
  DhlRouting routing;
  std::u16string Report_Etichetta;  // the first print document, decoded
  std::u16string Report_Archivio;   // the second print document, decoded
};

// Walks the response element (the first child of the first child of the document element).
// `source` names the reply file in the messages of failures.
DhlReply ReadReply(const XmlDocument& reply, const std::u16string& source);

}  // namespace vorlabws
