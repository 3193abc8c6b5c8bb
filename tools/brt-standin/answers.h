// What the stand-in answers to a checked call, written as SOAP 1.1 reply envelopes.
//
// CalculateBRTSort routes by the request's DestinatarioCap through a fixed table:
//   20121 -> depot 100 "MILANO", terminal 101, zone 12, MILANO (MI)
//   00184 -> depot 170 "ROMA", terminal 172, zone 5, ROMA (RM)
//   10121 -> depot 50 "TORINO", terminal 51, zone 3, TORINO (TO)
//   40121 -> depot 130 "BOLOGNA", terminal 131, zone 7, BOLOGNA (BO)
//   80133 -> depot 240 "NAPOLI", terminal 241, zone 9, NAPOLI (NA)
//   11100 -> depot 57 "VALLE D'AOSTA" (an apostrophe), terminal 58, zone 1, AOSTA (AO)
// and, for the outcomes a routing job must handle:
//   99998 -> depot 100 "MILANO" as 20121 AND CodiceErrore "W12", DescrizioneErrore
//            "Indirizzo non verificato" (an error code with an arrival depot)
//   99999 -> no error code and POArrivo 0 (neither)
//   99997 -> depot 100 "MILANO" as 20121 but ZonaSegnaCollo -1 (a negative reply number)
//   any other postcode -> CampoInErrore "DestinatarioCap", CodiceErrore "E47",
//            DescrizioneErrore "CAP <postcode> inesistente", POArrivo, TerminalArrivo and
//            ZonaSegnaCollo 0
// Every reply has NazioneISO "IT", TipoStampaNetwork "N" ("" for an unknown postcode),
// DestinatarioProvinciaAlt "", POPartenzaDes the name of the request's POPartenza in the table
// (else "FILIALE <n>"); without an error, CampoInErrore, CodiceErrore and DescrizioneErrore are
// nil.
//
// GetLabelForZebraPrinter returns, for each label in order, these lines joined by "\n" ("\n" after
// the last too), fields from the label request, numbers padded with zeros to the width given:
//   ^XA
//   ^LH<x>,<y>
//   ^FO20,20^A0N,28,28^FDMITT: <MittenteRagioneSociale> (<MittenteProvincia>)^FS
//   ^FO20,60^A0N,36,36^FD<DestinatarioRagioneSociale>^FS
//   ^FO20,105^A0N,28,28^FD<DestinatarioIndirizzo>^FS
//   ^FO20,140^A0N,28,28^FD<DestinatarioCap> <DestinatarioLocalita> <DestinatarioProvincia>^FS
//   ^FO20,190^A0N,60,60^FD<POArrivo:3> <POArrivoDescrizione>^FS
//   ^FO20,260^A0N,28,28^FDCOLLO <NumeroSegnaCollo> DI <NumeroSegnaColloDi> PESO <Peso>^FS
//   ^FO20,300^BCN,100,Y,N,N^FD<POSegnacollo:3><POArrivo:3><NumeroSerie:2><NumeroSegnaCollo:7><ZonaSegnaCollo:2>^FS
//   ^XZ
// "^" and "~" in a field become blanks. SayHello returns "Hello " + name. GetLabelPDF returns the
// Base64 of "%PDF-1.4\n% EasySped stand-in: <n> labels, dialogToPrint <d>, fakeLabels
// <f>\n%%EOF\n".
#pragma once

#include <string>

#include "tools/brt-standin/request_check.h"
#include "tools/brt-standin/standin_options.h"

namespace vorlabws::standin {

// The reply to a call; a nil result or a differently named result under the misbehaviours that
// shape the reply's content.
std::string ReplyEnvelope(const Options& options, const ReceivedCall& call);

// A SOAP 1.1 fault; `code` is a local name in the envelope namespace ("Client", "Server").
std::string FaultEnvelope(std::u16string_view code, std::u16string_view text,
                          std::u16string_view actor, std::u16string_view detail);

}  // namespace vorlabws::standin
