#include "db/BrenvoDB.h"
#include "jobs/Funzioni.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "tools/vorlabws-check/site_checks.h"

namespace vorlabws::check {
namespace {

struct Attempt {
  std::u16string route;
  std::u16string connection;
};

// The strings the worker tries in turn, as far as dati.ini decides them. `asks` is set when the
// worker would end by asking the user for the server.
std::vector<Attempt> Attempts(const PianoDatabase& piano, bool& asks) {
  std::vector<Attempt> attempts;
  if (piano.Alias) attempts.push_back({u"alias", *piano.Alias});
  if (piano.PercorsoServer) {
    attempts.push_back({u"PercorsoDatabase", *piano.PercorsoServer});
    return attempts;
  }
  if (piano.AvvisoCondivisione) return attempts;
  attempts.push_back({u"folder", piano.Cartella});
  if (piano.NomeDiscoLungo) return attempts;
  if (piano.NomeServer.empty()) {
    asks = true;
  } else {
    attempts.push_back({u"Nome Server", NomeConnessione(piano.Cartella, piano.NomeServer,
                                                        piano.LetteraDiscoServer)});
  }
  return attempts;
}

// What dati.ini says, as far as the routes go.
std::u16string SettingsLine(const std::u16string& file, const PianoDatabase& piano) {
  if (!FileExists(file)) return file + u": none (the worker uses the folder route)";
  std::u16string line = file + u": present";
  if (!piano.NomeServer.empty()) line += u", Nome Server=" + piano.NomeServer;
  if (!piano.LetteraDiscoServer.empty())
    line += u", Lettera Disco Server=" + piano.LetteraDiscoServer;
  return line;
}

}  // namespace

RouteCheck CheckDatabaseRoute(const std::u16string& database) {
  RouteCheck result;
  const DatabasePath path = SplitDatabasePath(database);
  const PianoDatabase piano = PianificaDataBase(path.Percorso, path.Nome);
  result.findings.push_back({Verdict::kOk, SettingsLine(path.Percorso + u"dati.ini", piano), u""});
  if (piano.AvvisoCondivisione) {
    result.findings.push_back(
        {Verdict::kFail, u"database folder " + path.Percorso, *piano.AvvisoCondivisione});
  }
  bool asks = false;
  for (const Attempt& attempt : Attempts(piano, asks)) {
    auto connection = std::make_unique<IBDatabase>();
    connection->Params = ParametriAccesso(u"", u"");
    connection->DatabaseName = attempt.connection;
    try {
      connection->Open();
    } catch (const Failure& failure) {
      result.findings.push_back(
          {Verdict::kWarn, attempt.connection + u" (" + attempt.route + u"): does not attach",
           Utf8ToUtf16(failure.what()) +
               u". The worker would try to create an empty database under this name and go on."});
      continue;
    }
    result.findings.push_back(
        {Verdict::kOk, attempt.connection + u" (" + attempt.route + u"): attaches", u""});
    result.attached = std::move(connection);
    return result;
  }
  if (asks) {
    result.findings.push_back(
        {Verdict::kFail, u"server prompt",
         u"No string attaches and dati.ini names no server: the worker would say \"Non trovato "
         u"dati.ini\" and ask for one. Put \"Nome Server\" (and \"Lettera Disco Server\") in the "
         u"[CONFIG] section of " +
             path.Percorso + u"dati.ini."});
  }
  result.findings.push_back(
      {Verdict::kFail, u"database " + database + u": no connection string attaches",
       u"Check the path, the server named in dati.ini and that the server is running; the job "
       u"tables are checked once a connection attaches."});
  return result;
}

}  // namespace vorlabws::check
