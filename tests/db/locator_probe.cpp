// Runs the server prompt or the whole locator in a process of its own, with the user interface
// of that process (a window, the terminal, or none), and reports on standard output:
//   locator_probe prompt              -> "Esito=<n>", "Edit1=<text>", "Edit2=<text>"
//   locator_probe attiva <folder> <name> -> one line per attach or creation tried, then
//                                        "result=true|false", or "failure=<message>"
#include <cstdio>
#include <string>

#include "db/BrenvoDB.h"
#include "platform/code_page.h"
#include "platform/failure.h"
#include "tests/db/recording_database.h"

namespace {

void Report(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

int RunPrompt() {
  vorlabws::TBrenvoIn2Form prompt(nullptr);
  vorlabws::PreparaRichiestaServer(prompt);
  prompt.ShowModal();
  Report("Esito=" + std::to_string(prompt.Esito));
  Report("Edit1=" + vorlabws::Utf16ToUtf8(prompt.Edit1.Text));
  Report("Edit2=" + vorlabws::Utf16ToUtf8(prompt.Edit2.Text));
  return 0;
}

int RunLocator(const std::string& folder, const std::string& name) {
  vorlabws::testing::RecordingDatabase database(Report);
  try {
    const bool attached = vorlabws::AttivaDataBaseOpzioneDatiIni(
        database, vorlabws::Utf8ToUtf16(folder), vorlabws::Utf8ToUtf16(name), u"", u"", nullptr);
    Report(std::string("result=") + (attached ? "true" : "false"));
  } catch (const vorlabws::Failure& failure) {
    Report(std::string("failure=") + failure.what());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "prompt") return RunPrompt();
  if (mode == "attiva" && argc == 4) return RunLocator(argv[2], argv[3]);
  std::fprintf(stderr, "usage: locator_probe prompt | attiva <folder> <name>\n");
  return 64;
}
