// The site check on a copy of the program folder and a job database of its own: the whole site
// passes, each broken site gives its own line and exit code, and no case changes anything.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/support/test_support.h"
#include "tests/support/unprivileged_user.h"
#include "tools/brt-standin/standin_process.h"

namespace vorlabws::testing {
namespace {

namespace fs = std::filesystem;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The folder, made open to every user (the server, as user firebird, keeps its database there).
std::string OpenFolder(const std::string& path) {
  fs::create_directories(path);
  ::chmod(path.c_str(), 0777);
  return path;
}

// A program folder copied from the build (the worker, the relay, this check, the templates) and a
// job database on the server, with one job row.
class Site {
 public:
  Site()
      : program_(folder_.path() + "bin/"),
        data_(OpenFolder(folder_.path() + "db/")),
        database_(Engine::kServer, data_ + "archivio.fdb") {
    // Open to every user too: a case may run the check as a user without privileges.
    for (const char* folder : {"", "report", "data", "data/out"}) OpenFolder(program_ + folder);
    for (const char* file : {"VorlabWS", "vorlabws-check", "Relayer.exe", "report/BRT.prn",
                             "report/DHL.prn", "data/dhl_template.txt"}) {
      fs::copy_file(ProgramFolderOfBuild() + file, program_ + file);
    }
    database_.Execute("INSERT INTO VORLABT (ID, TRASPORTATORE) VALUES (1, 'BRT')");
    database_.Execute("INSERT INTO VORLABR (TESTATA, RIGA, ESITO) VALUES (1, 1, 'prima')");
  }

  const std::string& program() const { return program_; }
  const std::string& data() const { return data_; }
  const JobDatabase& database() const { return database_; }

  // Every file of the site but the database file (the server writes its header page on every
  // attach), byte for byte, with the database's columns and job rows as the worker reads them.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> snapshot;
    for (const auto& entry : fs::recursive_directory_iterator(folder_.path())) {
      const std::string path = entry.path().string();
      if (path == data_ + "archivio.fdb") continue;
      snapshot[path] = entry.is_regular_file() ? ReadFileBytes(Utf8ToUtf16(path)) : "(folder)";
    }
    std::string columns;
    for (const std::u16string& column :
         database_.Column("SELECT TRIM(RDB$RELATION_NAME) || '.' || TRIM(RDB$FIELD_NAME) AS C "
                          "FROM RDB$RELATION_FIELDS ORDER BY 1",
                          "C")) {
      columns += Utf16ToUtf8(column) + "\n";
    }
    snapshot["columns"] = columns;
    snapshot["ESITO"] = Utf16ToUtf8(database_.Value("SELECT ESITO FROM VORLABR", "ESITO"));
    return snapshot;
  }

 private:
  TempFolder folder_;
  std::string program_;
  std::string data_;
  JobDatabase database_;
};

struct CheckRun {
  int exit_code = -1;
  std::string output;
};

CheckRun RunCheck(const Site& site, const std::vector<std::string>& arguments, bool unprivileged,
                  const StartOptions& environment = {}) {
  std::vector<std::string> command = {site.program() + "vorlabws-check"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  if (unprivileged) {
    const ProcessResult result = RunUnattended(AsUnprivilegedUser(command));
    return {result.exit_code, result.standard_output + result.standard_error};
  }
  StartOptions options = environment;
  options.new_session = true;
  options.capture_output = true;
  options.removed_environment.insert(options.removed_environment.end(),
                                     {"DISPLAY", "WAYLAND_DISPLAY"});
  std::vector<std::u16string> wide;
  for (size_t i = 1; i < command.size(); ++i) wide.push_back(Utf8ToUtf16(command[i]));
  const ProcessResult result = RunProcess(Utf8ToUtf16(command[0]), wide, options);
  return {result.exit_code, result.standard_output + result.standard_error};
}

// The findings of a table that are not ok, each with its advice line.
std::vector<std::string> Problems(const std::string& table) {
  std::vector<std::string> problems;
  std::istringstream lines(table);
  bool keep = false;
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with(" ")) keep = !line.starts_with("ok ");
    if (keep) problems.push_back(line);
  }
  return problems;
}

// What `after` says that `before` did not.
std::string NewProblems(const std::string& before, const std::string& after) {
  const std::vector<std::string> known = Problems(before);
  std::string added;
  for (const std::string& line : Problems(after)) {
    if (std::find(known.begin(), known.end(), line) == known.end()) added += line + "\n";
  }
  return added;
}

TEST(SiteCheck, TheBuildsProgramFolderAndAWholeJobDatabasePass) {
  Site site;
  const auto before = site.Snapshot();
  const CheckRun run = RunCheck(site, {site.database().connection()}, false);
  const std::string expected =
      "ok    program folder {bin}\n"
      "ok    VorlabWS: present and executable\n"
      "ok    Relayer.exe: present and executable\n"
      "ok    report/BRT.prn: readable, read as UTF-8\n"
      "ok    data/dhl_template.txt: readable, read as UTF-8\n"
      "ok    report/DHL.prn: readable, read as UTF-8\n"
      "ok    data/: writable\n"
      "ok    data/out/: writable\n"
      "ok    errore.txt's folder: writable\n"
      "ok    localhost:{db}dati.ini: none (the worker uses the folder route)\n"
      "ok    localhost:{db}archivio.fdb (folder): attaches\n"
      "ok    connection character set WIN1252, database default WIN1252\n"
      "warn  VORLABR.NUMERO_SEGNA_COLLO: text, read as a number\n"
      "      The BRT label job reads it as an integer: every value must be decimal digits.\n"
      "warn  VORLABR.ESITO: holds 200 characters\n"
      "      Enough for every fixed outcome; a courier's own message (\"003 - Errore CODE: "
      "DESCRIPTION\") can be longer and is then not stored.\n"
      "warn  MANIFESTT.ESITO: holds 200 characters\n"
      "      Enough for every fixed outcome; a courier's own message (\"003 - Errore CODE: "
      "DESCRIPTION\") can be longer and is then not stored.\n"
      "ok    VORLABT: every column the jobs use is there\n"
      "ok    VORLABR: every column the jobs use is there\n"
      "ok    MANIFESTT: every column the jobs use is there\n"
      "ok    MANIFESTR: every column the jobs use is there\n"
      "ok    environment: no overrides, the built-in defaults hold\n";
  EXPECT_EQ(run.output, Replace(Replace(expected, "{bin}", site.program()), "{db}", site.data()));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(site.Snapshot(), before);
}

TEST(SiteCheck, JsonGivesTheSameFindings) {
  Site site;
  const CheckRun run = RunCheck(site, {site.database().connection(), "--json"}, false);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_TRUE(
      run.output.starts_with("{\"version\": \"1.0.0\", \"failed\": false, \"findings\": "
                             "[{\"verdict\": \"ok\", \"subject\": \"program folder " +
                             site.program() + "\", \"advice\": \"\"}, "))
      << run.output;
  EXPECT_NE(run.output.find("{\"verdict\": \"warn\", \"subject\": \"VORLABR.ESITO: holds 200 "
                            "characters\", \"advice\": \"Enough for every fixed outcome; a "
                            "courier's own message (\\\"003 - Errore CODE: DESCRIPTION\\\") can "
                            "be longer and is then not stored.\"}"),
            std::string::npos)
      << run.output;
}

TEST(SiteCheck, ArgumentsItCannotUseEndWithTheUsage) {
  Site site;
  const std::string usage =
      "usage: vorlabws-check DATABASE [--online] [--json]\n"
      "       vorlabws-check --version\n"
      "Checks the program folder beside this tool, the route to DATABASE (the worker's first\n"
      "argument) and its job tables; --online also reaches the couriers' services.\n";
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{}, {"--onlin", "a.fdb"}, {"a.fdb", "b.fdb"}}) {
    const CheckRun run = RunCheck(site, arguments, false);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.output, usage);
  }
  const CheckRun version = RunCheck(site, {"--version"}, false);
  EXPECT_EQ(version.output, "vorlabws-check 1.0.0\n");
  EXPECT_EQ(version.exit_code, 0);
}

struct BrokenSite {
  const char* name;
  std::function<void(Site&)> breaks;
  // The check's arguments; {database} is the server's connection string, {db} the folder.
  std::vector<std::string> arguments;
  bool unprivileged;
  int exit_code;
  const char* new_problems;  // {bin} is the program folder, {db} the database folder
};

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(SiteCheck, EachBrokenSiteGivesItsOwnLineAndChangesNothing) {
  const BrokenSite rows[] = {
      {"a label column missing",
       [](Site& site) { site.database().Execute("ALTER TABLE VORLABR DROP REPORT_CUSTOM"); },
       {"{database}"},
       false,
       1,
       "FAIL  VORLABR.REPORT_CUSTOM: missing\n"
       "      The BRT label and DHL label jobs write it: add it, e.g. ALTER TABLE VORLABR ADD "
       "REPORT_CUSTOM BLOB SUB_TYPE TEXT\n"},
      {"a column of the joined label row missing",
       [](Site& site) { site.database().Execute("ALTER TABLE VORLABT DROP TRASPORTATORE"); },
       {"{database}"},
       false,
       1,
       "FAIL  TRASPORTATORE (VORLABT or VORLABR): missing\n"
       "      The BRT label and DHL label jobs read it: add it, e.g. ALTER TABLE VORLABT ADD "
       "TRASPORTATORE VARCHAR(...)\n"},
      {"a manifest column missing",
       [](Site& site) { site.database().Execute("ALTER TABLE MANIFESTT DROP COURIERREPORT"); },
       {"{database}"},
       false,
       1,
       "FAIL  MANIFESTT.COURIERREPORT: missing\n"
       "      The DHL manifest job writes it: add it, e.g. ALTER TABLE MANIFESTT ADD "
       "COURIERREPORT BLOB SUB_TYPE TEXT\n"},
      {"ESITO of 10 characters",
       [](Site& site) {
         site.database().Execute("ALTER TABLE VORLABR DROP ESITO");
         site.database().Execute("ALTER TABLE VORLABR ADD ESITO VARCHAR(10)");
       },
       {"{database}"},
       false,
       1,
       "FAIL  VORLABR.ESITO: too short for the outcome texts\n"
       "      It must hold 51 characters (\"002 - Errore di comunicazione con il webservice "
       "BRT\"): ALTER TABLE VORLABR ALTER ESITO TYPE VARCHAR(1000)\n"},
      {"a template missing",
       [](Site& site) { fs::remove(site.program() + "report/DHL.prn"); },
       {"{database}"},
       false,
       1,
       "FAIL  report/DHL.prn: missing\n"
       "      Copy report/DHL.prn from the build's program folder (build/bin/report/DHL.prn) to "
       "{bin}report/DHL.prn.\n"},
      {"a template without @PO_BARCODE@",
       [](Site& site) {
         const std::u16string path = Utf8ToUtf16(site.program() + "report/BRT.prn");
         std::string text = ReadFileBytes(path);
         text = Replace(text, "@PO_BARCODE@", "");
         WriteFileBytes(path, text);
       },
       {"{database}"},
       false,
       0,
       "warn  report/BRT.prn: lacks @PO_BARCODE@\n"
       "      The worker fills these placeholders; the label or request goes out without their "
       "values. Add them if the site needs them.\n"},
      {"a relay without its execute bit",
       [](Site& site) { ::chmod((site.program() + "Relayer.exe").c_str(), 0644); },
       {"{database}"},
       false,
       1,
       "FAIL  Relayer.exe: not executable\n"
       "      Make it executable for the worker's user: chmod +x {bin}Relayer.exe\n"},
      {"data/out/ read-only for the user",
       [](Site& site) { ::chmod((site.program() + "data/out").c_str(), 0555); },
       {"{database}"},
       true,
       1,
       "FAIL  data/out/: not writable\n"
       "      Let the worker's user write it (the relay's replies): chmod u+w {bin}data/out, or "
       "change its owner.\n"},
      {"dati.ini naming a server that does not answer",
       [](Site& site) {
         WriteText(site.data() + "dati.ini", "[CONFIG]\r\nNome Server=localhost/3999\r\n");
       },
       {"{db}nuovo.fdb"},
       false,
       1,
       "warn  {db}nuovo.fdb (folder): does not attach\n"
       "      I/O error during \"open\" operation for file \"{db}nuovo.fdb\"; Error while trying "
       "to open file; No such file or directory [attaching {db}nuovo.fdb]. The worker would try "
       "to create an empty database under this name and go on.\n"
       "warn  localhost/3999:{db}nuovo.fdb (Nome Server): does not attach\n"
       "      Unable to complete network request to host \"localhost\".; Failed to establish a "
       "connection. [attaching localhost/3999:{db}nuovo.fdb]. The worker would try to create an "
       "empty database under this name and go on.\n"
       "FAIL  database {db}nuovo.fdb: no connection string attaches\n"
       "      Check the path, the server named in dati.ini and that the server is running; the "
       "job tables are checked once a connection attaches.\n"},
  };
  for (const BrokenSite& row : rows) {
    SCOPED_TRACE(row.name);
    Site site;
    std::vector<std::string> arguments;
    for (const std::string& argument : row.arguments) {
      arguments.push_back(Replace(Replace(argument, "{database}", site.database().connection()),
                                  "{db}", site.data()));
    }
    const CheckRun whole = RunCheck(site, {site.database().connection()}, row.unprivileged);
    row.breaks(site);
    const auto before = site.Snapshot();
    const CheckRun broken = RunCheck(site, arguments, row.unprivileged);
    EXPECT_EQ(NewProblems(whole.output, broken.output),
              Replace(Replace(row.new_problems, "{bin}", site.program()), "{db}", site.data()));
    EXPECT_FALSE(FileExists(Utf8ToUtf16(site.data() + "nuovo.fdb")));
    EXPECT_EQ(broken.exit_code, row.exit_code);
    EXPECT_EQ(site.Snapshot(), before);
  }
}

TEST(SiteCheck, OnlineAServiceDescriptionWithoutThePortFails) {
  Site site;
  const standin::StandInService service({"--description", "without-port"});
  StartOptions environment;
  environment.environment = {{"VORLABWS_BRT_WSDL", Utf16ToUtf8(service.WsdlUrl())},
                             {"VORLABWS_DHL_URL", Utf16ToUtf8(service.Url())}};
  const CheckRun whole = RunCheck(site, {site.database().connection()}, false);
  const auto before = site.Snapshot();
  const CheckRun run =
      RunCheck(site, {site.database().connection(), "--online"}, false, environment);
  const std::string wsdl = Utf16ToUtf8(service.WsdlUrl());
  EXPECT_EQ(NewProblems(whole.output, run.output),
            "FAIL  BRT service description " + wsdl +
                "\n      Cannot locate service EasySpedWSServiceImpl, port easyspedde_endpoint "
                "through the service description " +
                wsdl +
                ": no such port in the service. Every BRT job ends with \"002 - Errore di "
                "comunicazione con il webservice BRT\"; set VORLABWS_BRT_WSDL to the service's "
                "WSDL.\n");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(site.Snapshot(), before);
  // The description was read; nothing was sent to the service.
  EXPECT_EQ(service.Traffic(), "connections 1\nrequests 1\n");
}

}  // namespace
}  // namespace vorlabws::testing
