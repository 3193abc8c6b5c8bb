// Runs many label jobs, half BRT (the build's worker) and half DHL (a program folder with the real
// relay), one after the other on one database of the embedded engine, each worker ending at once
// after its job; then checks that nothing was lost: every job ended "000 - Completato" with the
// same stored texts as the first job of its courier, every DHL request file is whole, and
// `gfix -v -full` finds the database sound. Prints what it found.
//
// Usage: ended_jobs_check [jobs]   (default 1000)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/process.h"
#include "tests/brt/brt_job_support.h"
#include "tests/dhl/dhl_test_support.h"
#include "tools/brt-standin/standin_process.h"

namespace vorlabws::testing {
namespace {

const char* const kLabelColumns[] = {"REPORT_ETICHETTA", "REPORT_ARCHIVIO", "REPORT_CUSTOM"};

void Require(bool condition, const std::string& what) {
  if (!condition) {
    std::fprintf(stderr, "ended_jobs_check: %s\n", what.c_str());
    std::exit(1);
  }
}

std::string RowOf(int testata) {
  return "SELECT * FROM VORLABR WHERE TESTATA=" + std::to_string(testata) + " AND RIGA=1";
}

// The stored labels of the job. Jobs of one courier differ only in their number, which no label
// shows, so each job's texts must equal those of the first job of its courier.
std::u16string StoredTexts(const JobDatabase& database, int testata) {
  std::u16string texts;
  for (const char* column : kLabelColumns) {
    texts += database.Value(RowOf(testata), column) + u"|";
  }
  return texts;
}

int CheckJobs(int jobs) {
  TempFolder folder;
  ProgramFolderCopy program(folder.path() + "program/");
  program.InstallRealRelay();
  const std::string path = folder.path() + "archivio.fdb";
  JobDatabase database(Engine::kEmbedded, path);
  const standin::StandInService brt;
  const DhlStandIn dhl;
  StartOptions options;
  options.environment = {{"VORLABWS_DHL_URL", dhl.address()}};

  const int half = jobs / 2;
  for (int i = 0; i < jobs; ++i) {
    const int testata = 1000 + i;
    const bool is_brt = i < half;
    if (is_brt) {
      AddBrtJob(database, testata, 1);
    } else {
      AddDhlJob(database, testata, 1);
    }
    const std::vector<std::string> arguments = {path, std::to_string(testata), "1"};
    const WorkerRun run =
        is_brt ? RunBrtWorker(arguments, brt.WsdlUrl()) : program.Run(arguments, options);
    Require(run.exit_code == 0, "job " + std::to_string(testata) + " ended with " +
                                    std::to_string(run.exit_code) + ", ESITO " +
                                    Utf16ToUtf8(database.Value(RowOf(testata), "ESITO")) + " " +
                                    run.standard_output + run.standard_error);
    if (!is_brt) {
      const std::string request =
          ReadFileBytes(Utf8ToUtf16(program.path() + "data/dhl_" + std::to_string(testata) + "_1.txt"));
      Require(request.ends_with("\r\n") && request.find("@") == std::string::npos,
              "the request file of job " + std::to_string(testata) + " is not whole");
    }
  }
  std::printf("%d jobs run (%d BRT, %d DHL), every worker ended with 0\n", jobs, half, jobs - half);

  int completed = 0, same_texts = 0;
  const std::u16string brt_texts = StoredTexts(database, 1000);
  const std::u16string dhl_texts = StoredTexts(database, 1000 + half);
  for (int i = 0; i < jobs; ++i) {
    const int testata = 1000 + i;
    if (database.Value(RowOf(testata), "ESITO") == u"000 - Completato") ++completed;
    if (StoredTexts(database, testata) == (i < half ? brt_texts : dhl_texts)) ++same_texts;
  }
  std::printf("ESITO \"000 - Completato\": %d of %d; labels stored whole: %d of %d\n", completed,
              jobs, same_texts, jobs);

  const ProcessResult gfix = RunProcess(
      u"/usr/bin/gfix",
      {u"-v", u"-full", u"-user", u"SYSDBA", u"-password", u"ambertide", Utf8ToUtf16(path)});
  std::printf("gfix -v -full: exit %d, output \"%s%s\"\n", gfix.exit_code,
              gfix.standard_output.c_str(), gfix.standard_error.c_str());
  const bool sound = completed == jobs && same_texts == jobs && gfix.exit_code == 0 &&
                     gfix.standard_output.empty() && gfix.standard_error.empty();
  std::printf("%s\n", sound ? "nothing lost" : "SOMETHING WAS LOST");
  return sound ? 0 : 1;
}

}  // namespace
}  // namespace vorlabws::testing

int main(int argc, char** argv) {
  const int jobs = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1000;
  return vorlabws::testing::CheckJobs(jobs);
}
