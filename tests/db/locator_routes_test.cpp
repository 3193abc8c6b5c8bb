// The locator's routes from the database folder and dati.ini to the connection strings it tries,
// in order, with the boxes and the prompt it shows. The routes name computers that do not exist
// here, so a recording stand-in answers for the servers and another one for the user; dati.ini
// is a real file named as the locator names it (a Windows folder + "dati.ini" is a file name in
// the working folder here).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <set>

#include "db/BrenvoDB.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/user_interface.h"
#include "tests/db/recording_database.h"
#include "tests/support/test_support.h"

namespace vorlabws::testing {
namespace {

enum class Answer { kConfirm, kCancel, kCloseBox };

// Stands in for the user: logs each box and form shown and answers the server prompt.
class RecordingUser : public UserInterface {
 public:
  RecordingUser(std::vector<std::string>& log, Answer answer, std::u16string server,
                std::u16string letter)
      : log_(log), answer_(answer), server_(std::move(server)), letter_(std::move(letter)) {}

  void ShowBox(BoxKind kind, const std::u16string& caption, const std::u16string& text) override {
    EXPECT_EQ(kind, BoxKind::kPlain);
    EXPECT_EQ(caption, ProgramTitle());
    log_.push_back("box: " + Utf16ToUtf8(text));
  }

  void ShowModal(TForm& form) override {
    log_.push_back("prompt: " + Utf16ToUtf8(form.Caption));
    auto& prompt = dynamic_cast<TBrenvoIn2Form&>(form);
    focus_before_activation = PartName(prompt, prompt.ActiveControl);
    if (prompt.OnActivate) prompt.OnActivate();
    focus_after_activation = PartName(prompt, prompt.ActiveControl);
    label_top = prompt.Label1.Top;
    label_text = prompt.Label1.Caption;
    font = prompt.Font;
    prompt.Edit1.Text = server_;
    prompt.Edit2.Text = letter_;
    if (answer_ == Answer::kConfirm) prompt.OKBtn.Click();
    if (answer_ == Answer::kCancel) prompt.CancelBtn.Click();
    if (answer_ == Answer::kCloseBox) prompt.Close();
  }

  // The prompt as it was shown.
  std::string focus_before_activation;
  std::string focus_after_activation;
  int label_top = 0;
  std::u16string label_text;
  TFont font;

 private:
  static std::string PartName(const TBrenvoIn2Form& prompt, const TControl* part) {
    if (part == &prompt.Edit1) return "Edit1";
    if (part == &prompt.Edit2) return "Edit2";
    return "another part";
  }

  std::vector<std::string>& log_;
  Answer answer_;
  std::u16string server_;
  std::u16string letter_;
};

// Works in a folder of its own for as long as it lives.
class WorkingFolder {
 public:
  WorkingFolder() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder_.path());
  }
  ~WorkingFolder() { std::filesystem::current_path(previous_); }

 private:
  TempFolder folder_;
  std::filesystem::path previous_;
};

struct Prompt {
  Answer answer = Answer::kCancel;
  std::u16string server;
  std::u16string letter;
};

struct Route {
  const char* name;
  std::u16string folder;             // the database folder as the caller gives it
  std::u16string nome;               // the file name; empty for the default
  std::optional<std::string> ini;    // dati.ini in that folder; none: no file
  std::set<std::string> attachable;  // connection strings that attach
  std::set<std::string> creatable;   // connection strings whose creation succeeds
  Prompt prompt;
  std::vector<std::string> tried;  // attaches, creations, boxes and the prompt, in order
  bool result;
  std::optional<std::string> stored = std::nullopt;  // dati.ini after the prompt; none: unchanged
};

const std::string kNotFound = "box: Non trovato dati.ini";
const std::string kPrompt = "prompt: Non trovato dati.ini";
const std::string kFailed = "box: Apertura / creazione del database non riuscita!";
const std::string kCreated = "box: Effettuata creazione data base";
const std::string kNetworkPath =
    "box: Errore: nonostante le configurazioni, il particolare percorso di rete sta rendendo "
    "impossibile l'attivazione del database";

std::string ShareWarning(const std::string& share) {
  return "box: Attenzione: il disco con gli archivi \xC3\xA8 stato condiviso in rete con un nome "
         "- " +
         share +
         " - e non con la lettera che lo identifica. Si consiglia di correggere la condivisione "
         "oppure di correggere manualmente la sezione Percorso Nel Server nel file Dati.ini "
         "accanto al database";
}

TEST(LocatorRoutesTest, EveryRouteTriesItsConnectionStringsInOrder) {
  const Route routes[] = {
      {"no file: the folder, then the server and letter the prompt names",
       u"C:\\Dati\\",
       u"",
       std::nullopt,
       {"srv:E:\\Dati\\archivio.fdb"},
       {},
       {Answer::kConfirm, u"srv", u"E"},
       {"attach C:\\Dati\\archivio.fdb -> failed", "create C:\\Dati\\archivio.fdb -> failed",
        kNotFound, kPrompt, "attach srv:E:\\Dati\\archivio.fdb -> ok"},
       true,
       "[CONFIG]\r\nNome Server=srv\r\nLettera Disco Server=E\r\n"},
      {"Nome Server: the folder, then the server without a prompt",
       u"C:\\Dati\\",
       u"",
       "[CONFIG]\r\nNome Server=srv\r\n",
       {"srv:C:\\Dati\\archivio.fdb"},
       {},
       {},
       {"attach C:\\Dati\\archivio.fdb -> failed", "create C:\\Dati\\archivio.fdb -> failed",
        "attach srv:C:\\Dati\\archivio.fdb -> ok"},
       true},
      {"stored drive letter replaces the drive",
       u"C:\\Dati\\",
       u"",
       "[CONFIG]\r\nNome Server=srv\r\nLettera Disco Server=E\r\n",
       {"srv:E:\\Dati\\archivio.fdb"},
       {},
       {},
       {"attach C:\\Dati\\archivio.fdb -> failed", "create C:\\Dati\\archivio.fdb -> failed",
        "attach srv:E:\\Dati\\archivio.fdb -> ok"},
       true},
      {"drive letter replaces exactly the first character, whatever it is",
       u"\\Dati\\",
       u"",
       "[CONFIG]\r\nNome Server=srv\r\nLettera Disco Server=EF\r\n",
       {},
       {},
       {},
       {"attach \\Dati\\archivio.fdb -> failed", "create \\Dati\\archivio.fdb -> failed",
        "attach srv:EFDati\\archivio.fdb -> failed", "create srv:EFDati\\archivio.fdb -> failed"},
       false},
      {"alias attaches; the file name plays no part",
       u"D:\\Altro\\",
       u"ditta.fdb",
       "[CONFIG]\r\nNome Server=srv\r\nAlias=job\r\n",
       {"srv:job"},
       {},
       {},
       {"attach srv:job -> ok"},
       true},
      {"alias fails: then the routes of the same file without it",
       u"C:\\Dati\\",
       u"",
       "[CONFIG]\r\nNome Server=srv\r\nAlias=job\r\n",
       {"srv:C:\\Dati\\archivio.fdb"},
       {},
       {},
       {"attach srv:job -> failed", "create srv:job -> failed",
        "attach C:\\Dati\\archivio.fdb -> failed", "create C:\\Dati\\archivio.fdb -> failed",
        "attach srv:C:\\Dati\\archivio.fdb -> ok"},
       true},
      {"alias without Nome Server is ignored",
       u"C:\\Dati\\",
       u"",
       "[CONFIG]\r\nAlias=job\r\n",
       {"C:\\Dati\\archivio.fdb"},
       {},
       {},
       {"attach C:\\Dati\\archivio.fdb -> ok"},
       true},
      {"PercorsoDatabase without final backslash: nothing else is tried",
       u"C:\\Dati\\",
       u"",
       "[CONFIG]\r\nNome Server=srv\r\nPercorsoDatabase=D:\\Dati\r\n",
       {},
       {},
       {},
       {"attach \\\\srv\\D:\\Dati\\archivio.fdb -> failed",
        "create \\\\srv\\D:\\Dati\\archivio.fdb -> failed"},
       false},
      {"PercorsoDatabase with final backslash",
       u"C:\\Dati\\",
       u"ditta.fdb",
       "[CONFIG]\r\nNome Server=srv\r\nPercorsoDatabase=D:\\Dati\\\r\n",
       {"\\\\srv\\D:\\Dati\\ditta.fdb"},
       {},
       {},
       {"attach \\\\srv\\D:\\Dati\\ditta.fdb -> ok"},
       true},
      {"share named by a letter, prompt cancelled",
       u"\\\\srv\\d\\Dati\\",
       u"",
       std::nullopt,
       {},
       {},
       {Answer::kCancel, u"ignored", u"Z"},
       {"attach srv:d:\\Dati\\archivio.fdb -> failed",
        "create srv:d:\\Dati\\archivio.fdb -> failed", kNotFound, kPrompt, kFailed},
       false},
      {"share named by a letter: the prompt's server and letter go on that same string",
       u"\\\\srv\\d\\Dati\\",
       u"",
       std::nullopt,
       {},
       {},
       {Answer::kConfirm, u"srv2", u"X"},
       {"attach srv:d:\\Dati\\archivio.fdb -> failed",
        "create srv:d:\\Dati\\archivio.fdb -> failed", kNotFound, kPrompt,
        "attach srv2:Xrv:d:\\Dati\\archivio.fdb -> failed",
        "create srv2:Xrv:d:\\Dati\\archivio.fdb -> failed"},
       false,
       "[CONFIG]\r\nNome Server=srv2\r\nLettera Disco Server=X\r\n"},
      {"share named by a letter, a stored drive letter but no server: the prompt's answer",
       u"\\\\srv\\d\\Dati\\",
       u"",
       "[CONFIG]\r\nLettera Disco Server=Z\r\n",
       {},
       {},
       {Answer::kConfirm, u"srv2", u"X"},
       {"attach srv:d:\\Dati\\archivio.fdb -> failed",
        "create srv:d:\\Dati\\archivio.fdb -> failed", kNotFound, kPrompt,
        "attach srv2:Xrv:d:\\Dati\\archivio.fdb -> failed",
        "create srv2:Xrv:d:\\Dati\\archivio.fdb -> failed"},
       false,
       "[CONFIG]\r\nLettera Disco Server=X\r\nNome Server=srv2\r\n"},
      {"a stored drive letter, the prompt confirmed without one: the stored letter stays unused",
       u"C:\\Dati\\",
       u"",
       "[CONFIG]\r\nLettera Disco Server=Z\r\n",
       {"srv2:C:\\Dati\\archivio.fdb"},
       {},
       {Answer::kConfirm, u"srv2", u""},
       {"attach C:\\Dati\\archivio.fdb -> failed", "create C:\\Dati\\archivio.fdb -> failed",
        kNotFound, kPrompt, "attach srv2:C:\\Dati\\archivio.fdb -> ok"},
       true,
       "[CONFIG]\r\nLettera Disco Server=Z\r\nNome Server=srv2\r\n"},
      {"share with a long name and Percorso Nel Server",
       u"\\\\srv\\Archivi\\",
       u"",
       "[CONFIG]\r\nPercorso Nel Server=D:\\Archivi\\\r\n",
       {"srv:D:\\Archivi\\archivio.fdb"},
       {},
       {},
       {"attach srv:D:\\Archivi\\archivio.fdb -> ok"},
       true},
      {"share with a long name and Percorso Nel Server that fails: no prompt",
       u"\\\\srv\\Archivi\\",
       u"",
       "[CONFIG]\r\nPercorso Nel Server=D:\\Archivi\\\r\n",
       {},
       {},
       {},
       {"attach srv:D:\\Archivi\\archivio.fdb -> failed",
        "create srv:D:\\Archivi\\archivio.fdb -> failed", kNetworkPath},
       false},
      {"share with a long name, no file: only the warning",
       u"\\\\srv\\Archivi\\",
       u"",
       std::nullopt,
       {},
       {},
       {},
       {ShareWarning("Archivi")},
       false},
      {"two backslashes in the middle of the folder",
       u"C:\\Dati\\\\srv\\d\\",
       u"",
       std::nullopt,
       {"C:\\Dati\\\\srv\\d\\archivio.fdb"},
       {},
       {},
       {ShareWarning("Dati")},
       false},
      {"confirmed prompt with an empty server name",
       u"C:\\Dati\\",
       u"",
       std::nullopt,
       {},
       {},
       {Answer::kConfirm, u"", u""},
       {"attach C:\\Dati\\archivio.fdb -> failed", "create C:\\Dati\\archivio.fdb -> failed",
        kNotFound, kPrompt, kFailed},
       false,
       "[CONFIG]\r\nNome Server=\r\n"},
      {"prompt closed by its close box",
       u"C:\\Dati\\",
       u"",
       std::nullopt,
       {},
       {},
       {Answer::kCloseBox, u"srv", u"E"},
       {"attach C:\\Dati\\archivio.fdb -> failed", "create C:\\Dati\\archivio.fdb -> failed",
        kNotFound, kPrompt, kFailed},
       false},
      {"a folder that cannot be attached is created in place",
       u"C:\\Dati\\",
       u"",
       std::nullopt,
       {},
       {"C:\\Dati\\archivio.fdb"},
       {},
       {"attach C:\\Dati\\archivio.fdb -> failed", "create C:\\Dati\\archivio.fdb -> ok", kCreated},
       true},
      {"empty folder: dati.ini of the working folder",
       u"",
       u"",
       "[CONFIG]\r\nNome Server=srv\r\n",
       {"srv:archivio.fdb"},
       {},
       {},
       {"attach archivio.fdb -> failed", "create archivio.fdb -> failed",
        "attach srv:archivio.fdb -> ok"},
       true},
  };
  for (const Route& route : routes) {
    SCOPED_TRACE(route.name);
    WorkingFolder working_folder;
    const std::u16string ini_name = route.folder + u"dati.ini";
    if (route.ini) WriteFileBytes(ini_name, *route.ini);
    std::vector<std::string> log;
    RecordingUser user(log, route.prompt.answer, route.prompt.server, route.prompt.letter);
    ScopedUserInterface as_user(user);
    RecordingDatabase database(
        [&log](const std::string& line) { log.push_back(line); },
        [&route](RecordingDatabase::Operation operation, const std::string& name) {
          return (operation == RecordingDatabase::Operation::kAttach ? route.attachable
                                                                     : route.creatable)
              .contains(name);
        });

    const bool result =
        AttivaDataBaseOpzioneDatiIni(database, route.folder, route.nome, u"", u"", nullptr);

    EXPECT_EQ(log, route.tried);
    EXPECT_EQ(result, route.result);
    const std::optional<std::string> expected_ini = route.stored ? route.stored : route.ini;
    EXPECT_EQ(FileExists(ini_name), expected_ini.has_value());
    if (expected_ini && FileExists(ini_name)) {
      EXPECT_EQ(ReadFileBytes(ini_name), *expected_ini);
    }
  }
}

TEST(LocatorRoutesTest, ServerPromptAsTheLocatorShowsIt) {
  WorkingFolder working_folder;
  std::vector<std::string> log;
  RecordingUser user(log, Answer::kCancel, u"", u"");
  ScopedUserInterface as_user(user);
  std::u16string NomeServer = u"left over";
  std::u16string LetteraDiscoServer = u"left over";

  EXPECT_EQ(OttieniNomeServer(NomeServer, LetteraDiscoServer, u"", nullptr), u"");

  EXPECT_EQ(log, (std::vector<std::string>{kNotFound, kPrompt}));
  EXPECT_EQ(NomeServer, u"");
  EXPECT_EQ(LetteraDiscoServer, u"");
  EXPECT_EQ(user.label_text,
            u"Inserire il nome del computer e la lettera della sua\r\nunit\u00E0 disco dove "
            u"risulta ospitato (o sar\u00E0 ospitato) il database");
  EXPECT_EQ(user.label_top, 22);
  EXPECT_EQ(user.font.Name, u"Arial");
  EXPECT_EQ(user.font.Size, 8);
  EXPECT_FALSE(user.font.Bold || user.font.Italic || user.font.Underline || user.font.StrikeOut);
  // Edit2 comes first in the tab order; activation moves the focus to Edit1.
  TBrenvoIn2Form layout(nullptr);
  EXPECT_EQ(layout.TabOrderControls(), (std::vector<TControl*>{&layout.Edit2, &layout.OKBtn,
                                                               &layout.CancelBtn, &layout.Edit1}));
  EXPECT_EQ(user.focus_before_activation, "Edit2");
  EXPECT_EQ(user.focus_after_activation, "Edit1");
}

TEST(LocatorRoutesTest, ParametersOfAttachAndCreation) {
  struct Row {
    const char* name;
    std::u16string user;
    std::u16string password;
    bool attaches;
    bool creates;
    std::vector<std::u16string> params;  // left on the connection
  };
  const Row rows[] = {
      {"default credentials, attached",
       u"",
       u"",
       true,
       false,
       {u"user_name=SYSDBA", u"password=ambertide"}},
      {"given credentials, attached",
       u"ANNA",
       u"segreta",
       true,
       false,
       {u"user_name=ANNA", u"password=segreta"}},
      {"default credentials, created",
       u"",
       u"",
       false,
       true,
       {u"USER \"SYSDBA\"", u"PASSWORD \"ambertide\"", u"PAGE_SIZE 4096"}},
      {"given credentials, created",
       u"ANNA",
       u"segreta",
       false,
       true,
       {u"USER \"ANNA\"", u"PASSWORD \"segreta\"", u"PAGE_SIZE 4096"}},
      // The job's next attach then tells why the database cannot be opened.
      {"given credentials, neither attached nor created",
       u"ANNA",
       u"segreta",
       false,
       false,
       {u"user_name=ANNA", u"password=segreta"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> log;
    RecordingUser user(log, Answer::kCancel, u"", u"");
    ScopedUserInterface as_user(user);
    RecordingDatabase database(
        [&log](const std::string& line) { log.push_back(line); },
        [&row](RecordingDatabase::Operation operation, const std::string&) {
          return operation == RecordingDatabase::Operation::kAttach ? row.attaches : row.creates;
        });
    database.LoginPrompt = true;
    database.SQLDialect = 1;

    EXPECT_EQ(ConnettiCreaDataBase(database, u"/dati/archivio.fdb", u"", u"", row.user,
                                   row.password, nullptr),
              row.attaches || row.creates);

    EXPECT_EQ(database.Params, row.params);
    EXPECT_FALSE(database.LoginPrompt);
    EXPECT_EQ(database.SQLDialect, row.attaches ? 1 : 3);
  }
}

}  // namespace
}  // namespace vorlabws::testing
