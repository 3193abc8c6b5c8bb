// The database locator: turns the database folder and file name into Firebird connection strings
// and attaches the job's connection, creating the database when it cannot be attached.
// The connection is the caller's; the locator only sets its name and parameters and opens it.
#pragma once

#include <string>

#include "db/firebird.h"

namespace vorlabws {

// Opens `IBDataBase1` on `Percorso` (the folder, with its final separator, or empty) + `Nome`
// ("archivio.fdb" when empty); true when attached.
bool AttivaDataBaseOpzioneDatiIni(IBDatabase& IBDataBase1, const std::u16string& Percorso,
                                  std::u16string Nome, const std::u16string& user,
                                  const std::u16string& password, const void* FormChiamante);

// Attaches to one connection string, or else creates the database under it ("Effettuata
// creazione data base"); with `Server` set the string is Server + ":" + Percorso, whose first
// character `LetteraDiscoServer` replaces when given. True when attached.
bool ConnettiCreaDataBase(IBDatabase& IBDataBase, std::u16string Percorso,
                          const std::u16string& Server, const std::u16string& LetteraDiscoServer,
                          const std::u16string& user, const std::u16string& password,
                          const void* FormChiamante);

}  // namespace vorlabws
