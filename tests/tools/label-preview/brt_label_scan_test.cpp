// The demo's BRT label job, run by the built worker against the stand-in BRT service, previewed:
// the bar codes on both stored labels scan as the parcel number the job stored.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/brt/brt_job_support.h"
#include "tests/tools/label-preview/preview_support.h"
#include "tools/brt-standin/standin_process.h"

namespace vorlabws::testing {
namespace {

// The text the worker put in place of `placeholder` in the label it filled from the template: what
// stands, in the stored label, between the rest of the placeholder's template line.
std::string FilledValue(const std::string& label, const std::string& label_template,
                        const std::string& placeholder) {
  const size_t at = label_template.find(placeholder);
  if (at == std::string::npos) return "";
  const size_t line_start = label_template.rfind('\n', at) + 1;
  const std::string before = label_template.substr(line_start, at - line_start);
  const size_t after_end = label_template.find_first_of("\r\n@", at + placeholder.size());
  const std::string after =
      label_template.substr(at + placeholder.size(), after_end - at - placeholder.size());
  const size_t start = label.find(before);
  if (start == std::string::npos) return "";
  const size_t value_start = start + before.size();
  return label.substr(value_start, label.find(after, value_start) - value_start);
}

TEST(BrtLabelScanTest, BarCodesOfTheDemoJobReadTheStoredParcelNumber) {
  standin::StandInService service;
  TempFolder folder;
  const JobDatabase database(Engine::kEmbedded, folder.path() + "archivio.fdb");
  AddDemoJobs(database);
  ASSERT_EQ(RunBrtWorker({database.connection(), "100", "1"}, service.WsdlUrl()).exit_code, 0);

  const std::string barcode = FilledValue(
      Utf16ToUtf8(
          database.Value("SELECT * FROM VORLABR WHERE TESTATA=100 AND RIGA=1", "REPORT_CUSTOM")),
      ReadFileBytes(Utf8ToUtf16(ProgramFolderOfBuild() + "report/BRT.prn")), "@PO_BARCODE@");
  ASSERT_EQ(barcode.size(), 18u) << barcode;
  ASSERT_EQ(barcode.find_first_not_of("0123456789"), std::string::npos) << barcode;
  ExpectScannedPreviews(
      database.connection(), 100, 1, folder.path() + "previews",
      {
          // The stand-in's own label carries the parcel number without its check digit.
          {"report_etichetta_100_1.png", {"CODE-128:" + barcode.substr(0, 17)}},
          {"report_custom_100_1.png", {"CODE-128:" + barcode}},
      });
}

}  // namespace
}  // namespace vorlabws::testing
