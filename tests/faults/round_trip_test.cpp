// A label text with every character of Windows-1252 (the host's code page) and apostrophes goes
// from the job's columns through the courier's service and the label templates into the job's
// row and comes back whole: in the courier's label (through SOAP for BRT; through the request
// file, the relay, the service's Windows-1252 document and the reply for DHL) and in the worker's
// own label, every "'" stored as "´". The twin job, with the usual text in the same column, shows
// the labels around it.
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "platform/text.h"
#include "tests/brt/brt_job_support.h"
#include "tests/faults/fault_scene.h"

namespace vorlabws::testing {
namespace {

// Every character a label can carry: the printable ones of Windows-1252, between words with
// apostrophes. The five bytes that Windows-1252 leaves undefined and the control characters are
// no text.
std::u16string EveryCharacterOfWindows1252() {
  std::string bytes;
  for (int byte = 0x20; byte <= 0xFF; ++byte) {
    const bool undefined = byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
                           byte == 0x90 || byte == 0x9D;
    if (!undefined) bytes += static_cast<char>(byte);
  }
  return u"L'Aquila dell'Orso " + Cp1252ToUtf16(bytes) + u" d'Italia";
}

std::u16string Stored(const std::u16string& text) { return ReplaceAll(text, u"'", u"\u00B4"); }

TEST(RoundTripTest, EveryCharacterOfWindows1252AndApostrophes) {
  const std::u16string text = EveryCharacterOfWindows1252();
  struct Row {
    const char* name;
    Job job;
    const char* column;         // of the header, widened for the text
    std::u16string usual;       // the column's text in the twin, as stored
    std::u16string in_courier;  // the text as the courier's label shows it, as stored
  };
  const Row rows[] = {
      // The BRT service writes "^" and "~" as blanks in its fields.
      {"BRT", Job::kBrtLabel, "DEST_VIA", u"Via dell\u00B4Orso",
       Stored(ReplaceAll(ReplaceAll(text, u"^", u" "), u"~", u" "))},
      {"DHL", Job::kDhlLabel, "DEST_RAGSOC", u"M\u00FCller GmbH", Stored(text)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FaultScene scene(row.job);
    const std::string column = row.column;
    scene.database().Execute("ALTER TABLE VORLABT ALTER " + column + " TYPE VARCHAR(400)");
    SetText(scene.database(), "VORLABT", column, "ID=15", text);
    ASSERT_EQ(scene.RunTwin().exit_code, 0);

    const FaultRun run = scene.RunJob();

    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.standard_output, "");
    EXPECT_EQ(run.standard_error, "");
    const JobRows job = scene.JobRowsNow();
    const JobRows twin = scene.TwinRowsNow();
    EXPECT_EQ(job.header.at(column), text);
    EXPECT_EQ(job.row.at("ESITO"), u"000 - Completato");
    ASSERT_NE(twin.row.at("REPORT_ETICHETTA").find(row.usual), std::u16string::npos);
    ASSERT_NE(twin.row.at("REPORT_CUSTOM").find(row.usual), std::u16string::npos);
    EXPECT_EQ(job.row.at("REPORT_ETICHETTA"),
              ReplaceAll(twin.row.at("REPORT_ETICHETTA"), row.usual, row.in_courier));
    EXPECT_EQ(job.row.at("REPORT_CUSTOM"),
              ReplaceAll(twin.row.at("REPORT_CUSTOM"), row.usual, Stored(text)));
    EXPECT_EQ(job.row.at("REPORT_ARCHIVIO"),
              ReplaceAll(twin.row.at("REPORT_ARCHIVIO"), row.usual, row.in_courier));
  }
}

}  // namespace
}  // namespace vorlabws::testing
