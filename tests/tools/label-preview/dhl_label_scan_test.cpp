// The demo's DHL label job, run by a copy of the worker with the real relay against the stand-in
// DHL service, previewed: every bar code on the three stored labels scans as the job's values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "tests/dhl/dhl_test_support.h"
#include "tests/tools/label-preview/preview_support.h"

namespace vorlabws::testing {
namespace {

TEST(DhlLabelScanTest, BarCodesOfTheDemoJobReadTheJobRow) {
  DhlStandIn service;
  TempFolder folder;
  ProgramFolderCopy program(folder.path() + "program/");
  program.InstallRealRelay();
  const JobDatabase database(Engine::kEmbedded, folder.path() + "archivio.fdb");
  AddDemoJobs(database);
  StartOptions options;
  options.environment = {{"VORLABWS_DHL_URL", service.address()}};
  ASSERT_EQ(program.Run({database.connection(), "20", "1"}, options).exit_code, 0);

  const std::string row = "SELECT * FROM VORLABR WHERE TESTATA=20 AND RIGA=1";
  const std::string header = "SELECT * FROM VORLABT WHERE ID=20";
  const std::string plate =
      "CODE-128:" + Utf16ToUtf8(database.Value(row, "NUMERO_SEGNA_COLLO_CHECK") +
                                database.Value(row, "NUMERO_SEGNA_COLLO"));
  const std::string routing =
      "CODE-128:" + Utf16ToUtf8(database.Value(header, "PO_SEGNACOLLO") +
                                database.Value(header, "PO_SEGNACOLLO_DESCR"));
  ExpectScannedPreviews(database.connection(), 20, 1, folder.path() + "previews",
                        {
                            {"report_etichetta_20_1.png", {plate}},
                            {"report_archivio_20_1.png", {plate}},
                            {"report_custom_20_1.png", {routing, plate}},
                        });
}

}  // namespace
}  // namespace vorlabws::testing
