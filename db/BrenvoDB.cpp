#include "db/BrenvoDB.h"

#include "platform/failure.h"
#include "platform/user_interface.h"

namespace vorlabws {
namespace {

const std::u16string kDefaultUser = u"SYSDBA";
const std::u16string kDefaultPassword = u"ambertide";

}  // namespace

bool ConnettiCreaDataBase(IBDatabase& IBDataBase, std::u16string Percorso,
                          const std::u16string& Server, const std::u16string& LetteraDiscoServer,
                          const std::u16string& user, const std::u16string& password,
                          const void* FormChiamante) {
  const std::u16string effective_user = user.empty() ? kDefaultUser : user;
  const std::u16string effective_password = password.empty() ? kDefaultPassword : password;
  IBDataBase.Close();
  IBDataBase.LoginPrompt = false;
  IBDataBase.Params = {u"user_name=" + effective_user, u"password=" + effective_password};
  if (!Server.empty()) {
    if (!LetteraDiscoServer.empty()) {
      Percorso = LetteraDiscoServer + (Percorso.empty() ? u"" : Percorso.substr(1));
    }
    Percorso = Server + u":" + Percorso;
  }
  IBDataBase.DatabaseName = Percorso;
  try {
    IBDataBase.Open();
    return true;
  } catch (const Failure&) {
    // Every failed attach is followed by a creation under the same name.
  }
  IBDataBase.Params = {u"USER \"" + effective_user + u"\"",
                       u"PASSWORD \"" + effective_password + u"\"", u"PAGE_SIZE 4096"};
  IBDataBase.SQLDialect = 3;
  try {
    IBDataBase.CreateDatabase();
  } catch (const Failure&) {
    return false;
  }
  ShowPlainBox(u"Effettuata creazione data base");
  return true;
}

bool AttivaDataBaseOpzioneDatiIni(IBDatabase& IBDataBase1, const std::u16string& Percorso,
                                  std::u16string Nome, const std::u16string& user,
                                  const std::u16string& password, const void* FormChiamante) {
  if (Nome.empty()) Nome = u"archivio.fdb";
  return ConnettiCreaDataBase(IBDataBase1, Percorso + Nome, u"", u"", user, password,
                              FormChiamante);
}

}  // namespace vorlabws
