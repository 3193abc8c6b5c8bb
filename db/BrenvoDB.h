// The database locator: turns the database folder and file name, with the settings of dati.ini in
// that folder, into Firebird connection strings, attaches the job's connection to one of them,
// creating the database when it cannot be attached, and as a last resort asks the user for the
// server's computer and disk. The connection is the caller's; the locator sets its name and
// parameters and leaves it attached on success. No state is kept between calls.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "db/BrenvoIn2.h"
#include "db/firebird.h"
#include "platform/forms.h"

namespace vorlabws {

// What dati.ini in the database folder makes of one database: the connection strings the locator
// tries, in its order, up to the server route. Reading it changes nothing and asks nobody.
struct PianoDatabase {
  std::optional<std::u16string> Alias;           // Nome Server + ":" + Alias, tried first
  std::optional<std::u16string> PercorsoServer;  // from PercorsoDatabase: the only one after it
  // A share named by more than a letter without "Percorso Nel Server": the warning that ends the
  // search; no further string is tried.
  std::optional<std::u16string> AvvisoCondivisione;
  std::u16string Cartella;      // the folder route's string; the server route starts from it
  bool NomeDiscoLungo = false;  // a share named by more than a letter: no server route follows
  // The stored server and disk of the server route; without a server the user is asked.
  std::u16string NomeServer;
  std::u16string LetteraDiscoServer;
};
PianoDatabase PianificaDataBase(const std::u16string& Percorso, std::u16string Nome);

// Opens `IBDataBase1` for the database `Nome` ("archivio.fdb" when empty) in the folder
// `Percorso` (with its final separator, or empty), trying in turn the alias, the server path and
// the folder of dati.ini, then the server the user names. True when attached. `FormChiamante`
// owns the server prompt. Raises IniFileError when the confirmed prompt cannot be stored.
bool AttivaDataBaseOpzioneDatiIni(IBDatabase& IBDataBase1, const std::u16string& Percorso,
                                  std::u16string Nome, const std::u16string& user,
                                  const std::u16string& password, TComponent* FormChiamante);

// The attach parameter lines for `user` and `password`, the defaults where they are empty.
std::vector<std::u16string> ParametriAccesso(const std::u16string& user,
                                             const std::u16string& password);

// The connection string of `Percorso` on `Server` (none: `Percorso` itself), whose first character
// `LetteraDiscoServer` replaces when given.
std::u16string NomeConnessione(std::u16string Percorso, const std::u16string& Server,
                               const std::u16string& LetteraDiscoServer);

// Attaches to one database, or else creates it ("Effettuata creazione data base"). The name is
// `Percorso`, or with `Server` set Server + ":" + Percorso, whose first character
// `LetteraDiscoServer` replaces when given. True when attached.
bool ConnettiCreaDataBase(IBDatabase& IBDataBase, std::u16string Percorso,
                          const std::u16string& Server, const std::u16string& LetteraDiscoServer,
                          const std::u16string& user, const std::u16string& password,
                          TComponent* FormChiamante);

// The server name and drive letter stored in `percorso` + "dati.ini"; without a stored server
// name, says "Non trovato dati.ini", asks with the server prompt and, when confirmed, stores the
// answer. Returns the server name, as left in `NomeServer`.
std::u16string OttieniNomeServer(std::u16string& NomeServer, std::u16string& LetteraDiscoServer,
                                 const std::u16string& percorso, TComponent* FormChiamante);

// The share path \\server\share\rest as the server's own path, and for a share named by more than
// a letter with no "Percorso Nel Server" the warning to show.
struct PercorsoCondiviso {
  std::u16string PercorsoCompleto;
  bool NomeDiscoLungo = false;
  std::optional<std::u16string> Avviso;
};
PercorsoCondiviso OttieniPercorsoCompleto(const std::u16string& Percorso,
                                          const std::u16string& PercorsoIni);

// Gives the server prompt the caption, text and font it is shown with.
void PreparaRichiestaServer(TBrenvoIn2Form& form);

}  // namespace vorlabws
