// The fixed outcome texts of the jobs, every one a routine can store in ESITO as it stands here;
// the texts that carry a courier's own words are built by their routines.
#pragma once

#include <array>
#include <string_view>

namespace vorlabws {

// The one success: the driver's exit code 0 depends on this exact text.
inline constexpr std::u16string_view kCompletato = u"000 - Completato";
inline constexpr std::u16string_view kTestataRigaNonTrovata = u"001 - Testata/Riga non trovata";
inline constexpr std::u16string_view kTestataNonTrovata = u"001 - Testata non trovata";
inline constexpr std::u16string_view kSpedizioniNonTrovate = u"001 - Spedizioni non trovate";
inline constexpr std::u16string_view kTrasportatoreNonValido = u"003 - Trasportatore non valido";
inline constexpr std::u16string_view kErroreAggiornamentoTestata =
    u"003 - Errore durante l'aggiornamento della testata";
inline constexpr std::u16string_view kErroreAggiornamentoRiga =
    u"003 - Errore durante l'aggiornamento della riga";
inline constexpr std::u16string_view kErroreComunicazioneBrt =
    u"002 - Errore di comunicazione con il webservice BRT";
inline constexpr std::u16string_view kErroreWebserviceDhl =
    u"002 - Errore nell'accesso ai webservice";
inline constexpr std::u16string_view kErroreDatiSpedizione =
    u"003 - Errore nei dati della spedizione";
inline constexpr std::u16string_view kErrorePopolamento = u"002 - Errore nel popolamento";

// Every fixed text above: ESITO must hold the longest of them.
inline constexpr std::array kFixedOutcomes = {kCompletato,
                                              kTestataRigaNonTrovata,
                                              kTestataNonTrovata,
                                              kSpedizioniNonTrovate,
                                              kTrasportatoreNonValido,
                                              kErroreAggiornamentoTestata,
                                              kErroreAggiornamentoRiga,
                                              kErroreComunicazioneBrt,
                                              kErroreWebserviceDhl,
                                              kErroreDatiSpedizione,
                                              kErrorePopolamento};

}  // namespace vorlabws
