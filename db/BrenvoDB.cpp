#include "db/BrenvoDB.h"

#include "platform/failure.h"
#include "platform/ini.h"
#include "platform/trace.h"
#include "platform/user_interface.h"

namespace vorlabws {
namespace {

const std::u16string kDefaultUser = u"SYSDBA";
const std::u16string kDefaultPassword = u"ambertide";
const std::u16string kDefaultNome = u"archivio.fdb";
const std::u16string kSettingsFile = u"dati.ini";
const std::u16string kSection = u"CONFIG";

// The text before the first "\" of `text`, removed from it with the "\"; empty, with `text`
// unchanged, when there is none.
std::u16string TakeUpToBackslash(std::u16string& text) {
  const size_t slash = text.find(u'\\');
  if (slash == std::u16string::npos) return u"";
  std::u16string head = text.substr(0, slash);
  text.erase(0, slash + 1);
  return head;
}

std::u16string UpToBackslash(const std::u16string& text) {
  const size_t slash = text.find(u'\\');
  return slash == std::u16string::npos ? u"" : text.substr(0, slash);
}

}  // namespace

PianoDatabase PianificaDataBase(const std::u16string& Percorso, std::u16string Nome) {
  PianoDatabase piano;
  if (Nome.empty()) Nome = kDefaultNome;
  const TIniFile settings(Percorso + kSettingsFile);
  TraceFileText("settings", settings.FileName());
  piano.NomeServer = settings.ReadString(kSection, u"Nome Server");
  piano.LetteraDiscoServer = settings.ReadString(kSection, u"Lettera Disco Server");
  const std::u16string Alias = settings.ReadString(kSection, u"Alias");
  if (!piano.NomeServer.empty() && !Alias.empty()) piano.Alias = piano.NomeServer + u":" + Alias;

  const std::u16string PercorsoDatabase = settings.ReadString(kSection, u"PercorsoDatabase");
  if (!PercorsoDatabase.empty()) {
    // The server's own path to the folder: no other route follows this one.
    std::u16string folder = u"\\\\" + piano.NomeServer + u"\\" + PercorsoDatabase;
    if (!folder.ends_with(u'\\')) folder += u'\\';
    piano.PercorsoServer = folder + Nome;
    return piano;
  }

  std::u16string PercorsoCompleto = Percorso;
  if (Percorso.find(u"\\\\") != std::u16string::npos) {
    const std::u16string PercorsoIni = settings.ReadString(kSection, u"Percorso Nel Server");
    const PercorsoCondiviso share = OttieniPercorsoCompleto(Percorso, PercorsoIni);
    PercorsoCompleto = share.PercorsoCompleto;
    piano.NomeDiscoLungo = share.NomeDiscoLungo;
    piano.AvvisoCondivisione = share.Avviso;
  }
  piano.Cartella = PercorsoCompleto + Nome;
  return piano;
}

bool AttivaDataBaseOpzioneDatiIni(IBDatabase& IBDataBase1, const std::u16string& Percorso,
                                  std::u16string Nome, const std::u16string& user,
                                  const std::u16string& password, TComponent* FormChiamante) {
  const PianoDatabase piano = PianificaDataBase(Percorso, std::move(Nome));
  const auto connect = [&](const std::u16string& name, const std::u16string& server,
                           const std::u16string& letter) {
    return ConnettiCreaDataBase(IBDataBase1, name, server, letter, user, password, FormChiamante);
  };
  if (piano.Alias && connect(*piano.Alias, u"", u"")) return true;
  if (piano.PercorsoServer) return connect(*piano.PercorsoServer, u"", u"");
  if (piano.AvvisoCondivisione) {
    ShowPlainBox(*piano.AvvisoCondivisione);
    return false;
  }
  if (connect(piano.Cartella, u"", u"")) return true;
  if (piano.NomeDiscoLungo) {
    ShowPlainBox(
        u"Errore: nonostante le configurazioni, il particolare percorso di rete sta rendendo "
        u"impossibile l'attivazione del database");
    return false;
  }

  std::u16string NomeServer;
  std::u16string LetteraDiscoServer;
  OttieniNomeServer(NomeServer, LetteraDiscoServer, Percorso, FormChiamante);
  if (NomeServer.empty()) {
    ShowPlainBox(u"Apertura / creazione del database non riuscita!");
    return false;
  }
  return connect(piano.Cartella, NomeServer, LetteraDiscoServer);
}

std::vector<std::u16string> ParametriAccesso(const std::u16string& user,
                                             const std::u16string& password) {
  return {u"user_name=" + (user.empty() ? kDefaultUser : user),
          u"password=" + (password.empty() ? kDefaultPassword : password)};
}

std::u16string NomeConnessione(std::u16string Percorso, const std::u16string& Server,
                               const std::u16string& LetteraDiscoServer) {
  if (Server.empty()) return Percorso;
  if (!LetteraDiscoServer.empty()) {
    Percorso = LetteraDiscoServer + (Percorso.empty() ? u"" : Percorso.substr(1));
  }
  return Server + u":" + Percorso;
}

bool ConnettiCreaDataBase(IBDatabase& IBDataBase, std::u16string Percorso,
                          const std::u16string& Server, const std::u16string& LetteraDiscoServer,
                          const std::u16string& user, const std::u16string& password,
                          TComponent* FormChiamante) {
  const std::u16string effective_user = user.empty() ? kDefaultUser : user;
  const std::u16string effective_password = password.empty() ? kDefaultPassword : password;
  IBDataBase.Close();
  IBDataBase.LoginPrompt = false;
  const std::vector<std::u16string> attach_lines = ParametriAccesso(user, password);
  IBDataBase.Params = attach_lines;
  IBDataBase.DatabaseName = NomeConnessione(std::move(Percorso), Server, LetteraDiscoServer);
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
    // The job's first statement attaches once more with what is left here: with the attach lines
    // it fails for the reason the database cannot be opened, not for the creation's lines.
    IBDataBase.Params = attach_lines;
    return false;
  }
  ShowPlainBox(u"Effettuata creazione data base");
  return true;
}

std::u16string OttieniNomeServer(std::u16string& NomeServer, std::u16string& LetteraDiscoServer,
                                 const std::u16string& percorso, TComponent* FormChiamante) {
  TIniFile settings(percorso + kSettingsFile);
  NomeServer = settings.ReadString(kSection, u"Nome Server");
  LetteraDiscoServer = settings.ReadString(kSection, u"Lettera Disco Server");
  if (NomeServer.empty()) {
    ShowPlainBox(u"Non trovato dati.ini");
    TBrenvoIn2Form prompt(FormChiamante);
    PreparaRichiestaServer(prompt);
    prompt.ShowModal();
    if (prompt.Esito == 1) {
      NomeServer = prompt.Edit1.Text;
      LetteraDiscoServer = prompt.Edit2.Text;
      settings.WriteString(kSection, u"Nome Server", NomeServer);
      if (!LetteraDiscoServer.empty()) {
        settings.WriteString(kSection, u"Lettera Disco Server", LetteraDiscoServer);
      }
    }
  }
  return NomeServer;
}

PercorsoCondiviso OttieniPercorsoCompleto(const std::u16string& Percorso,
                                          const std::u16string& PercorsoIni) {
  PercorsoCondiviso result;
  std::u16string s = Percorso.size() > 2 ? Percorso.substr(2) : u"";
  const std::u16string NomeServer = TakeUpToBackslash(s);
  const std::u16string share = UpToBackslash(s);
  if (share.size() > 1) {
    result.NomeDiscoLungo = true;
    if (!PercorsoIni.empty()) {
      s = NomeServer + u":" + PercorsoIni;  // its own final separator ends the folder
    } else {
      result.Avviso =
          u"Attenzione: il disco con gli archivi è stato condiviso in rete con un nome - " + share +
          u" - e non con la lettera che lo identifica. Si consiglia di correggere la "
          u"condivisione oppure di correggere manualmente la sezione Percorso Nel "
          u"Server nel file Dati.ini accanto al database";
    }
  } else {
    // A share named by the drive letter: \\srv\c\Dati\ is srv:c:\Dati\ on the server.
    s = NomeServer + u":" + s;
    const size_t slash = s.find(u'\\');
    s.insert(slash == std::u16string::npos ? 0 : slash, u":");
  }
  result.PercorsoCompleto = s;
  return result;
}

void PreparaRichiestaServer(TBrenvoIn2Form& form) {
  form.Caption = u"Non trovato dati.ini";
  form.Label1.Caption =
      u"Inserire il nome del computer e la lettera della sua\r\n"
      u"unità disco dove risulta ospitato (o sarà ospitato) il database";
  form.Font = TFont{.Name = u"Arial", .Size = 8};
  form.Label1.Top -= 10;
  form.Edit1.Text.clear();
}

}  // namespace vorlabws
