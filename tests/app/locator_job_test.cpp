// Jobs as the locator opens their database: through the server named in dati.ini, for a user who
// cannot open the file with the embedded engine (outside the firebird group, as on a workstation
// whose database lives on another computer); and the locator's boxes and prompt as the windows an
// interactive user answers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <future>
#include <optional>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/process.h"
#include "tests/support/terminal_session.h"
#include "tests/support/test_support.h"
#include "tests/support/unprivileged_user.h"
#include "tests/support/virtual_display.h"

namespace vorlabws::testing {
namespace {

const std::string kWorker = ProgramFolderOfBuild() + "VorlabWS";

class LocatorJobTest : public ::testing::Test {
 protected:
  LocatorJobTest() : database_(Engine::kServer, path_) {
    database_.Execute("INSERT INTO VORLABT (ID, TRASPORTATORE) VALUES (15, 'UPS')");
    database_.Execute("INSERT INTO VORLABR (TESTATA, RIGA) VALUES (15, 2)");
  }

  TempFolder folder_;
  const std::string path_ = folder_.path() + "archivio.fdb";
  JobDatabase database_;  // made through the server, so only the server can open the file
};

TEST_F(LocatorJobTest, JobRunsThroughTheServerNamedInDatiIni) {
  struct Row {
    const char* name;
    std::optional<std::string> ini;
    int exit_code;
    std::string standard_error;
    std::string output_start;
    std::u16string esito;
  };
  const Row rows[] = {
      {"Nome Server = localhost", "[CONFIG]\r\nNome Server=localhost\r\n", 3, "", "",
       u"003 - Trasportatore non valido"},
      {"no dati.ini: no server to try", std::nullopt, 2,
       "Non trovato dati.ini\n"
       "Non trovato dati.ini: Inserire il nome del computer e la lettera della sua unit\xC3\xA0 "
       "disco dove risulta ospitato (o sar\xC3\xA0 ospitato) il database\n"
       "Apertura / creazione del database non riuscita!\n"
       "Errore apertura archivio\n",
       "vorlabws::DatabaseError: ", u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    database_.Execute("UPDATE VORLABR SET ESITO=NULL");
    RemoveFileIfExists(Utf8ToUtf16(folder_.path() + "dati.ini"));
    if (row.ini) WriteFileBytes(Utf8ToUtf16(folder_.path() + "dati.ini"), *row.ini);

    const ProcessResult run = RunUnattended(AsUnprivilegedUser({kWorker, path_, "15", "2"}));

    EXPECT_EQ(run.exit_code, row.exit_code);
    EXPECT_EQ(run.standard_error, row.standard_error);
    EXPECT_TRUE(run.standard_output.starts_with(row.output_start)) << run.standard_output;
    EXPECT_EQ(row.output_start.empty(), run.standard_output.empty()) << run.standard_output;
    EXPECT_EQ(database_.Value("SELECT ESITO FROM VORLABR WHERE TESTATA=15", "ESITO"), row.esito);
  }
}

// The answer cannot be stored: the failure ends the run on the failure line, with no further box.
TEST(LocatorTerminalTest, ConfirmedPromptInAReadOnlyFolderEndsOnTheFailureLine) {
  TempFolder folder;
  const std::string read_only = folder.path() + "sola lettura/";
  std::filesystem::create_directory(read_only);
  ::chmod(read_only.c_str(), 0555);
  TerminalSession terminal(AsUnprivilegedUser({kWorker, read_only + "archivio.fdb", "15", "2"}),
                           {"DISPLAY", "WAYLAND_DISPLAY"});
  terminal.WaitFor("[Vorlabws]\r\nNon trovato dati.ini\r\n[OK] ");
  terminal.Type("\n");
  terminal.WaitFor("> ");
  terminal.Type("localhost\n");
  terminal.WaitFor("> ");
  terminal.Type("E\n");

  EXPECT_EQ(terminal.Wait(), 2);
  EXPECT_TRUE(terminal.output().ends_with("E\r\nvorlabws::IniFileError: Unable to write to " +
                                          read_only + "dati.ini\r\r\n"))
      << terminal.output();
}

TEST(LocatorWindowsTest, BoxesAndPromptWaitForTheUserInTurn) {
  TempFolder folder;
  VirtualDisplay display;
  StartOptions options;
  options.new_session = true;  // no terminal to fall back on: windows or nothing
  options.environment = {{"DISPLAY", display.name()}};
  const std::string unreachable = folder.path() + "no/such/folder/archivio.fdb";
  auto worker = std::async(std::launch::async, [&] {
    return RunProcess(Utf8ToUtf16(kWorker), {Utf8ToUtf16(unreachable), u"15", u"2"}, options, "",
                      std::chrono::seconds(60));
  });
  struct Step {
    const char* title;
    const char* keys;
  };
  const Step steps[] = {
      {"Vorlabws", "Return"},              // "Non trovato dati.ini"
      {"Non trovato dati.ini", "Escape"},  // the server prompt, cancelled
      {"Vorlabws", "Return"},              // "Apertura / creazione del database non riuscita!"
      {"Errore", "Return"},                // the job runner's "Errore apertura archivio"
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.title);
    try {
      display.Press(display.WaitForWindow(step.title), step.keys);
    } catch (const std::exception& failure) {
      ADD_FAILURE() << failure.what();
      break;
    }
  }
  const ProcessResult run = worker.get();
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.standard_error, "");
  EXPECT_TRUE(run.standard_output.starts_with("vorlabws::DatabaseError: ")) << run.standard_output;
}

// A program folder without the window module: on a live display the boxes and the prompt are the
// standard-error lines of a run with no display, and the job ends as that run does.
TEST(LocatorWindowsTest, WithoutTheWindowModuleBoxesAreLinesOnStandardError) {
  TempFolder folder;
  const std::string worker = folder.path() + "VorlabWS";
  std::filesystem::copy_file(kWorker, worker);
  VirtualDisplay display;
  StartOptions options;
  options.new_session = true;
  options.environment = {{"DISPLAY", display.name()}};
  const std::string unreachable = folder.path() + "no/such/folder/archivio.fdb";

  const ProcessResult run = RunProcess(Utf8ToUtf16(worker), {Utf8ToUtf16(unreachable), u"15", u"2"},
                                       options, "", std::chrono::seconds(60));

  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(
      run.standard_error,
      "Non trovato dati.ini\n"
      "Non trovato dati.ini: Inserire il nome del computer e la lettera della sua unit\xC3\xA0 "
      "disco dove risulta ospitato (o sar\xC3\xA0 ospitato) il database\n"
      "Apertura / creazione del database non riuscita!\n"
      "Errore apertura archivio\n");
  EXPECT_TRUE(run.standard_output.starts_with("vorlabws::DatabaseError: ")) << run.standard_output;
}

}  // namespace
}  // namespace vorlabws::testing
