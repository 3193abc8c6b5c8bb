// Outcome texts that more than one job routine reports; each routine keeps its own others.
#pragma once

#include <string_view>

namespace vorlabws {

// The one success: the driver's exit code 0 depends on this exact text.
inline constexpr std::u16string_view kCompletato = u"000 - Completato";
inline constexpr std::u16string_view kErroreAggiornamentoTestata =
    u"003 - Errore durante l'aggiornamento della testata";
inline constexpr std::u16string_view kErroreAggiornamentoRiga =
    u"003 - Errore durante l'aggiornamento della riga";

}  // namespace vorlabws
