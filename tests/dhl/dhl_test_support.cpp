#include "tests/dhl/dhl_test_support.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/code_page.h"
#include "platform/files.h"

namespace vorlabws::testing {
namespace {

namespace fs = std::filesystem;

const Columns kHeaderColumns = {
    {"TRASPORTATORE", "'DHL'"},
    {"MITT_RAGSOC", "'Vorlab S.r.l.'"},
    {"MITT_VIA", "'Via Roma'"},
    {"MITT_NRCIVICO", "'12'"},
    {"MITT_CAP", "'20121'"},
    {"MITT_CITTA", "'Milano'"},
    {"MITT_PROVINCIA", "'MI'"},
    {"MITT_NAZIONE", "'IT'"},
    {"MITT_TELEFONO", "'+39 02 1234567'"},
    {"MITT_OPERATORE", "'Anna Bianchi'"},
    {"MITT_FATTURAZIONE", "'123456789'"},
    {"MITT_SPEDIZIONE", "'ORD-2024-0315'"},
    {"DEST_RAGSOC", "'Müller GmbH'"},
    {"DEST_VIA", "'Leopoldstraße'"},
    {"DEST_NRCIVICO", "'5'"},
    {"DEST_CAP", "'80802'"},
    {"DEST_CITTA", "'München'"},
    {"DEST_PROVINCIA", "'BY'"},
    {"DEST_NAZIONE", "'DE'"},
    {"DEST_INFO1", "'Hans Müller'"},
    {"DEST_INFO2", "'+49 89 1234567'"},
    {"DEST_INFO3", "'Magazzino B'"},
    {"NUMERO_SPEDIZIONE", "'1234567890'"},
    {"DESCRIZIONE_SPEDIZIONE", "'Ricambi meccanici'"},
    {"TOTALE_SEGNA_COLLI", "1"},
    {"PESO_TOT", "2.5"},
    {"VALORE_SPEDIZIONE", "150.00"},
    {"ASSICURAZIONE_SPEDIZIONE", "'150,00'"},
    {"RESA", "'DAP'"},
    {"ANNO", "2024"},
    {"MESE", "'03'"},
    {"GIORNO", "'07'"},
    {"NETWORK", "'P'"},
    {"TIPO_ETICHETTA", "1"},
    // Filled by the reply.
    {"PRODOTTO", "NULL"},
    {"CODICE_PRODOTTO", "NULL"},
    {"SFONDO_PRODOTTO", "NULL"},
    {"MITT_NAZIONE_DESCR", "NULL"},
    {"MITT_FILIALE", "NULL"},
    {"DEST_NAZIONE_DESCR", "NULL"},
    {"DEST_FILIALE", "NULL"},
    {"ZONA_SEGNACOLLO", "NULL"},
    {"PO_SEGNACOLLO", "NULL"},
    {"PO_SEGNACOLLO_DESCR", "NULL"},
};

const Columns kRowColumns = {
    {"NUMERO_SEGNA_COLLO", "'JD0146000062810001'"},
    {"NUMERO_SEGNA_COLLO_DI", "1"},
    {"NUMERO_SEGNA_COLLO_CHECK", "'J'"},
    {"CODICE_COLLO", "'COLLO-1'"},
    {"CODICECARTONE", "'CT-0042'"},
    {"PESO", "2.5"},
    {"DESCRIZIONE_COLLO", "'Scatola'"},
};

std::string Insert(const std::string& table, Columns columns, const Columns& changes) {
  for (auto& [name, value] : columns) {
    if (const auto change = changes.find(name); change != changes.end()) value = change->second;
  }
  std::string names, values;
  for (const auto& [name, value] : columns) {
    names += (names.empty() ? "" : ", ") + name;
    values += (values.empty() ? "" : ", ") + value;
  }
  return "INSERT INTO " + table + " (" + names + ") VALUES (" + values + ")";
}

void CopyOrLink(const std::string& from, const std::string& to) {
  std::error_code linked;
  fs::create_hard_link(from, to, linked);
  if (linked) fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

StartOptions CapturedOutput() {
  StartOptions options;
  options.capture_output = true;
  return options;
}

}  // namespace

void AddDhlJob(const JobDatabase& database, int testata, int riga, const Columns& changes) {
  for (const auto& [name, value] : changes) {
    if (!kHeaderColumns.contains(name) && !kRowColumns.contains(name)) {
      ADD_FAILURE() << "a DHL job has no column " << name;
    }
  }
  Columns header = kHeaderColumns;
  header["ID"] = std::to_string(testata);
  Columns row = kRowColumns;
  row["TESTATA"] = std::to_string(testata);
  row["RIGA"] = std::to_string(riga);
  database.Execute(Insert("VORLABT", header, changes));
  database.Execute(Insert("VORLABR", row, changes));
}

std::string DefaultHeaderUpdate(int testata) {
  return "UPDATE VORLABT SET\r\n"
         " MITT_FILIALE='MIL',\r\n"
         " MITT_NAZIONE_DESCR='ITALY',\r\n"
         " DEST_FILIALE='MNC',\r\n"
         " ZONA_SEGNACOLLO='MNC-80',\r\n"
         " CODICE_PRODOTTO='WPX',\r\n"
         " PRODOTTO='EXPRESS WORLDWIDE',\r\n"
         " SFONDO_PRODOTTO='Y',\r\n"
         " DEST_NAZIONE_DESCR='GERMANY',\r\n"
         " PO_SEGNACOLLO='2L',\r\n"
         " PO_SEGNACOLLO_DESCR='DE80802+48000000'\r\n"
         " WHERE ID=" +
         std::to_string(testata) + "\r\n";
}

DhlJobRecords::DhlJobRecords() : database_(Engine::kEmbedded, folder_.path() + "archivio.fdb") {
  // The host may keep the total weight as text, with thousands separators.
  database_.Execute("ALTER TABLE VORLABT DROP PESO_TOT");
  database_.Execute("ALTER TABLE VORLABT ADD PESO_TOT VARCHAR(20)");
}

std::unique_ptr<JobRecord> DhlJobRecords::Add(const Columns& changes) {
  AddDhlJob(database_, next_testata_, 1, changes);
  return std::make_unique<JobRecord>(database_, next_testata_++, 1);
}

ProgramFolderCopy::ProgramFolderCopy(std::string path) : path_(std::move(path)) {
  const std::string build = ProgramFolderOfBuild();
  fs::create_directories(path_ + "data/out");
  fs::create_directories(path_ + "report");
  CopyOrLink(build + "VorlabWS", path_ + "VorlabWS");
  fs::copy_file(build + "data/dhl_template.txt", path_ + "data/dhl_template.txt");
  fs::copy_file(build + "report/DHL.prn", path_ + "report/DHL.prn");
}

void ProgramFolderCopy::InstallRealRelay() const {
  CopyOrLink(ProgramFolderOfBuild() + "Relayer.exe", path_ + "Relayer.exe");
}

void ProgramFolderCopy::InstallRelayScript(const std::string& lines) const {
  WriteFile("Relayer.exe", "#!/bin/sh\n" + lines + "\n");
  fs::permissions(path_ + "Relayer.exe", fs::perms::owner_all, fs::perm_options::add);
}

void ProgramFolderCopy::WriteFile(const std::string& relative, const std::string& bytes) const {
  WriteFileBytes(Utf8ToUtf16(path_ + relative), bytes);
}

std::string ProgramFolderCopy::ReadFile(const std::string& relative) const {
  return ReadFileBytes(Utf8ToUtf16(path_ + relative));
}

bool ProgramFolderCopy::Exists(const std::string& relative) const {
  return fs::exists(path_ + relative);
}

WorkerRun ProgramFolderCopy::Run(const std::vector<std::string>& arguments,
                                 const StartOptions& options) const {
  return RunWorkerAt(path_ + "VorlabWS", arguments, options);
}

std::string ReplyDocument(const std::string& entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\">\n"
         "  <soapenv:Body>\n"
         "    <res:DocumentRenderingResponse xmlns:res=\"urn:test:dhl\">\n" +
         entries +
         "\n    </res:DocumentRenderingResponse>\n"
         "  </soapenv:Body>\n"
         "</soapenv:Envelope>\n";
}

std::string ToolsFolderOfBuild() { return ProgramFolderOfBuild() + "../tools/bin/"; }

std::u16string FixedWidthRecord(size_t length, const std::vector<Piece>& pieces) {
  std::u16string record(length, u' ');
  size_t free_from = 1;
  for (const Piece& piece : pieces) {
    if (piece.position < free_from || piece.position - 1 + piece.text.size() > length) {
      ADD_FAILURE() << "piece at " << piece.position
                    << " does not fit: " << Utf16ToUtf8(piece.text);
      continue;
    }
    record.replace(piece.position - 1, piece.text.size(), piece.text);
    free_from = piece.position + piece.text.size();
  }
  return record + u"\r\n";
}

std::u16string Join(const std::vector<std::u16string>& records) {
  std::u16string text;
  for (const std::u16string& record : records) text += record;
  return text;
}

std::u16string ManifestHeaderRecord() {
  return FixedWidthRecord(86,
                          {{1, u"FF0HDRFFTIN00300"}, {17, u"CARGOMERIDIAN"}, {52, u"DHLEUAPGW"}});
}

std::u16string CourierReportTitle() {
  return u"NUMERO AWB|CODICE MITTENTE|PESO LORDO|PESO VOL.|DST|TIPO SPED|SHIPPER REFERENCE|"
         u"NUMERO COLLI|RAGIONE SOCIALE DEL DESTINATARIO|DESTINATARIO INDIRIZZO 1|"
         u"DESTINATARIO CITTA\u00B4|CAP DESINAT|VALORE ASSICURATO|TIPO IMPORTO EXTRA|IMPORTO\r\n";
}

::testing::AssertionResult SameText(const std::u16string& expected, const std::u16string& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const size_t from = at > 300 ? at - 300 : 0;
  return ::testing::AssertionFailure()
         << "lengths " << expected.size() << " and " << actual.size() << ", first difference at "
         << at << "\nexpected: " << Utf16ToUtf8(expected.substr(from, 600))
         << "\nactual:   " << Utf16ToUtf8(actual.substr(from, 600));
}

DhlStandIn::DhlStandIn()
    : process_(Utf8ToUtf16(ToolsFolderOfBuild() + "dhl-standin"), {}, CapturedOutput()) {
  // The first line it prints is its address, once it listens.
  char c = 0;
  while (address_.empty() || address_.back() != '\n') {
    pollfd watch{process_.stdout_fd(), POLLIN, 0};
    if (::poll(&watch, 1, 10000) != 1 || ::read(process_.stdout_fd(), &c, 1) != 1) {
      throw std::runtime_error("the DHL stand-in did not say where it listens");
    }
    address_ += c;
  }
  address_.pop_back();
}

}  // namespace vorlabws::testing
