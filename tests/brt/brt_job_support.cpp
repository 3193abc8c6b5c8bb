#include "tests/brt/brt_job_support.h"

#include <filesystem>
#include <set>

#include "platform/code_page.h"
#include "platform/files.h"

namespace vorlabws::testing {
namespace {

const BrtJobColumns kHeader = {
    {"TRASPORTATORE", "'BRT'"},
    {"MITT_RAGSOC", "'Vorlab Forniture Industriali S.r.l.'"},
    {"MITT_PROVINCIA", "'BO'"},
    {"MITT_NAZIONE", "''"},
    {"MITT_SPEDIZIONE", "'RIF-0042'"},
    {"DEST_RAGSOC", "'L''Officina del Gusto di Rossi & Figli'"},
    {"DEST_VIA", "'Via dell''Orso'"},
    {"DEST_NRCIVICO", "'12/A'"},
    {"DEST_CAP", "'20121'"},
    {"DEST_CITTA", "'MILANO'"},
    {"DEST_PROVINCIA", "'MI'"},
    {"DEST_NAZIONE", "''"},
    {"TOTALE_SEGNA_COLLI", "3"},
    {"PESO_TOT", "12.25"},
    {"VOLUME_TOT", "0.0625"},
    {"ANNO", "2024"},
    {"MESE", "'03'"},
    {"GIORNO", "'07'"},
    {"PRODOTTO", "'DPD'"},
    {"NETWORK", "''"},
    {"PO_SEGNACOLLO", "'12'"},
    {"PO_PARTENZA", "170"},
    {"NUMERO_SERIE", "1"},
    {"FERMO_DEPOSITO", "''"},
    {"PORTO", "'F'"},
    {"TIPO_SERVIZIO_BOLLE", "'E'"},
    {"TIPO_ETICHETTA", "1"},
};
const BrtJobColumns kRow = {
    {"NUMERO_SEGNA_COLLO", "'1234567'"},
    {"NUMERO_SEGNA_COLLO_DI", "2"},
    {"CODICECARTONE", "'CRT-9'"},
};
const std::set<std::string> kRowColumns = {"NUMERO_SEGNA_COLLO", "NUMERO_SEGNA_COLLO_DI",
                                           "CODICECARTONE",      "ESITO",
                                           "REPORT_ETICHETTA",   "REPORT_CUSTOM"};

std::string Insert(const std::string& table, const BrtJobColumns& columns) {
  std::string names, values;
  for (const auto& [name, value] : columns) {
    names += ", " + name;
    values += ", " + value;
  }
  return "INSERT INTO " + table + " (" + names.substr(2) + ") VALUES (" + values.substr(2) + ")";
}

StartOptions WithWsdl(const std::u16string& wsdl) {
  StartOptions options;
  options.environment = {{"VORLABWS_BRT_WSDL", Utf16ToUtf8(wsdl)}};
  return options;
}

}  // namespace

void AddBrtJob(const JobDatabase& database, int testata, int riga, const BrtJobColumns& changes) {
  BrtJobColumns header = kHeader;
  BrtJobColumns row = kRow;
  header["ID"] = std::to_string(testata);
  row["TESTATA"] = std::to_string(testata);
  row["RIGA"] = std::to_string(riga);
  for (const auto& [name, value] : changes)
    (kRowColumns.contains(name) ? row : header)[name] = value;
  database.Execute(Insert("VORLABT", header));
  database.Execute(Insert("VORLABR", row));
}

void SetText(const JobDatabase& database, const std::string& table, const std::string& column,
             const std::string& where, const std::u16string& text) {
  IBDatabase connection;
  connection.DatabaseName = Utf8ToUtf16(database.connection());
  connection.Params = {u"user_name=SYSDBA", u"password=ambertide"};
  IBTransaction transaction(connection);
  IBQuery query(connection, transaction);
  query.SQL.Add(Utf8ToUtf16("UPDATE " + table + " SET " + column + "=") +
                query.SQL.Parameter(text) + Utf8ToUtf16(" WHERE " + where));
  query.ExecSQL();
  transaction.CommitRetaining();
  transaction.Rollback();
}

WorkerFolder::WorkerFolder(const std::optional<std::string>& label_template) {
  std::filesystem::copy_file(ProgramFolderOfBuild() + "VorlabWS", folder_.path() + "VorlabWS");
  std::filesystem::create_directory(folder_.path() + "report");
  if (label_template) {
    WriteFileBytes(Utf8ToUtf16(folder_.path() + "report/BRT.prn"), *label_template);
  }
}

WorkerRun WorkerFolder::Run(const std::vector<std::string>& arguments,
                            const std::u16string& wsdl) const {
  return RunWorkerAt(folder_.path() + "VorlabWS", arguments, WithWsdl(wsdl));
}

WorkerRun RunBrtWorker(const std::vector<std::string>& arguments, const std::u16string& wsdl) {
  return RunWorker(arguments, WithWsdl(wsdl));
}

}  // namespace vorlabws::testing
