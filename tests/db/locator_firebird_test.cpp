// The locator against the real Firebird server on loopback: an alias of the server's
// databases.conf, and "Nome Server" = localhost, stored or answered at the prompt, for a user who
// cannot open the file with the embedded engine (outside the firebird group, as on a workstation
// whose database lives on another computer) and so reaches it only through the server.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <random>
#include <sstream>

#include "db/BrenvoDB.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/user_interface.h"
#include "tests/db/recording_database.h"
#include "tests/support/terminal_session.h"
#include "tests/support/test_support.h"
#include "tests/support/unprivileged_user.h"

namespace vorlabws::testing {
namespace {

const std::string kProbe = LOCATOR_PROBE;
const char* const kDatabasesConf = "/etc/firebird/3.0/databases.conf";

// An alias of the test's own in the server's databases.conf, taken out again when it goes. The
// server reads the file afresh on each attach.
class ServerAlias {
 public:
  explicit ServerAlias(const std::string& path)
      : name_("vorlabws_locator_" + std::to_string(::getpid()) + "_" +
              std::to_string(std::random_device()())),
        line_(name_ + " = " + path) {
    std::string text = ReadFileBytes(Utf8ToUtf16(kDatabasesConf));
    if (!text.empty() && !text.ends_with('\n')) text += '\n';
    WriteFileBytes(Utf8ToUtf16(kDatabasesConf), text + line_ + "\n");
  }
  ~ServerAlias() {
    std::istringstream lines(ReadFileBytes(Utf8ToUtf16(kDatabasesConf)));
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
      if (line != line_) kept += line + "\n";
    }
    WriteFileBytes(Utf8ToUtf16(kDatabasesConf), kept);
  }
  const std::string& name() const { return name_; }

 private:
  std::string name_;
  std::string line_;
};

// Logs any box shown: on these routes there should be none.
class BoxLog : public UserInterface {
 public:
  explicit BoxLog(std::vector<std::string>& log) : log_(log) {}
  void ShowBox(BoxKind, const std::u16string&, const std::u16string& text) override {
    log_.push_back("box: " + Utf16ToUtf8(text));
  }
  void ShowModal(TForm& form) override {
    log_.push_back("prompt: " + Utf16ToUtf8(form.Caption));
    form.Close();
  }

 private:
  std::vector<std::string>& log_;
};

// The probe's report lines among what the terminal showed.
std::vector<std::string> ReportLines(const std::string& shown) {
  std::vector<std::string> report;
  std::istringstream lines(shown);
  for (std::string line; std::getline(lines, line);) {
    if (line.ends_with('\r')) line.pop_back();
    if (line.starts_with("attach ") || line.starts_with("create ") || line.starts_with("result=") ||
        line.starts_with("failure=")) {
      report.push_back(line);
    }
  }
  return report;
}

class LocatorFirebirdTest : public ::testing::Test {
 protected:
  LocatorFirebirdTest() : database_(Engine::kServer, path_) {}

  TempFolder folder_;
  const std::string path_ = folder_.path() + "archivio.fdb";
  JobDatabase database_;  // made through the server, so only the server can open the file
};

TEST_F(LocatorFirebirdTest, AliasRouteAttachesThroughTheServer) {
  const ServerAlias alias(path_);
  WriteFileBytes(Utf8ToUtf16(folder_.path() + "dati.ini"),
                 "[CONFIG]\r\nNome Server=localhost\r\nAlias=" + alias.name() + "\r\n");
  std::vector<std::string> log;
  BoxLog boxes(log);
  ScopedUserInterface no_one(boxes);
  RecordingDatabase connection([&log](const std::string& line) { log.push_back(line); });

  EXPECT_TRUE(AttivaDataBaseOpzioneDatiIni(connection, Utf8ToUtf16(folder_.path()), u"ignored.fdb",
                                           u"", u"", nullptr));

  EXPECT_EQ(log, (std::vector<std::string>{"attach localhost:" + alias.name() + " -> ok"}));
  IBTransaction transaction(connection);
  IBQuery query(connection, transaction);
  query.SQL.Add(u"SELECT MON$DATABASE_NAME FROM MON$DATABASE");
  query.Open();
  EXPECT_EQ(query.FieldByName(u"MON$DATABASE_NAME").AsString(), Utf8ToUtf16(path_));
}

TEST_F(LocatorFirebirdTest, StoredServerNameAttachesTheFolderRoutesSecondString) {
  WriteFileBytes(Utf8ToUtf16(folder_.path() + "dati.ini"), "[CONFIG]\r\nNome Server=localhost\r\n");
  const ProcessResult run =
      RunUnattended(AsUnprivilegedUser({kProbe, "attiva", folder_.path(), ""}));

  EXPECT_EQ(run.standard_output, "attach " + path_ + " -> failed\ncreate " + path_ +
                                     " -> failed\nattach localhost:" + path_ +
                                     " -> ok\nresult=true\n");
  EXPECT_EQ(run.standard_error, "");
}

// The prompt on a terminal as the locator shows it, and dati.ini after it, byte for byte. On this
// system a path starts with "/": the drive letter that keeps it is "/".
TEST_F(LocatorFirebirdTest, TerminalPromptStoresOnlyAConfirmedAnswer) {
  const std::vector<std::string> unattached = {"attach " + path_ + " -> failed",
                                               "create " + path_ + " -> failed", "result=false"};
  struct Row {
    const char* name;
    std::vector<std::string> typed;  // one entry per question asked
    std::vector<std::string> report;
    std::optional<std::string> ini;  // none: no dati.ini
  };
  const Row rows[] = {
      {"a normal answer",
       {"localhost\n", "/\n"},
       {"attach " + path_ + " -> failed", "create " + path_ + " -> failed",
        "attach localhost:" + path_ + " -> ok", "result=true"},
       "[CONFIG]\r\nNome Server=localhost\r\nLettera Disco Server=/\r\n"},
      {"Esc and Enter at the server's name", {"\x1b\n"}, unattached, std::nullopt},
      {"Esc and Enter at the drive letter", {"localhost\n", "\x1b\n"}, unattached, std::nullopt},
      {"Ctrl-D at the server's name", {"\x04"}, unattached, std::nullopt},
      {"Ctrl-D at the drive letter", {"localhost\n", "\x04"}, unattached, std::nullopt},
      {"a control character is refused, then a normal answer",
       {"local\thost\n", "localhost\n", "/\x02\n", "/\n"},
       {"attach " + path_ + " -> failed", "create " + path_ + " -> failed",
        "attach localhost:" + path_ + " -> ok", "result=true"},
       "[CONFIG]\r\nNome Server=localhost\r\nLettera Disco Server=/\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::u16string ini = Utf8ToUtf16(folder_.path() + "dati.ini");
    RemoveFileIfExists(ini);
    TerminalSession terminal(AsUnprivilegedUser({kProbe, "attiva", folder_.path(), ""}),
                             {"DISPLAY", "WAYLAND_DISPLAY"});
    terminal.WaitFor("Non trovato dati.ini\r\n[OK] ");
    terminal.Type("\n");
    terminal.WaitFor("[Non trovato dati.ini]\r\n");
    for (const std::string& typed : row.typed) {
      terminal.WaitFor(")> ");
      terminal.Type(typed);
    }
    if (!row.ini) {
      terminal.WaitFor("Apertura / creazione del database non riuscita!\r\n[OK] ");
      terminal.Type("\n");
    }

    EXPECT_EQ(terminal.Wait(), 0);
    EXPECT_EQ(ReportLines(terminal.output()), row.report) << terminal.output();
    EXPECT_EQ(FileExists(ini), row.ini.has_value());
    if (row.ini && FileExists(ini)) {
      EXPECT_EQ(ReadFileBytes(ini), *row.ini);
    }
  }
}

}  // namespace
}  // namespace vorlabws::testing
