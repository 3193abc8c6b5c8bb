// The label preview tool on stored texts of every kind, in a job database of its own: the images
// it writes and their sizes, the texts it cannot preview, and the runs it refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/support/test_support.h"
#include "tests/tools/label-preview/preview_support.h"

namespace vorlabws::testing {
namespace {

// A small label format with a word on it, `settings` after its start.
std::string Label(const std::string& settings, const std::string& word) {
  return "^XA" + settings + "^FO40,40^A0N,50,50^FD" + word + "^FS^XZ";
}

// A text as an SQL literal; NULL for none.
std::string Literal(const std::string& text) { return text.empty() ? "NULL" : "'" + text + "'"; }

class LabelPreviewTest : public ::testing::Test {
 protected:
  LabelPreviewTest() : database_(Engine::kEmbedded, folder_.path() + "archivio.fdb") {}

  // A job row `testata`/1 holding these three texts, previewed into a folder of its own.
  PreviewRun Preview(int testata, const std::string& etichetta, const std::string& archivio,
                     const std::string& custom) {
    database_.Execute(
        "INSERT INTO VORLABR (TESTATA, RIGA, REPORT_ETICHETTA, REPORT_ARCHIVIO, "
        "REPORT_CUSTOM) VALUES (" +
        std::to_string(testata) + ", 1, " + Literal(etichetta) + ", " + Literal(archivio) + ", " +
        Literal(custom) + ")");
    const std::string previews = Previews(testata);
    std::filesystem::create_directory(previews);
    return RunLabelPreview({database_.connection(), std::to_string(testata), "1", previews});
  }
  std::string Previews(int testata) const {
    return folder_.path() + "previews" + std::to_string(testata);
  }

  TempFolder folder_;
  JobDatabase database_;
};

TEST_F(LabelPreviewTest, StoredTexts) {
  struct Image {
    std::string name;
    LabelSize size;
  };
  struct Row {
    const char* name;
    int testata;
    std::string etichetta, archivio, custom;
    int exit_code;
    std::vector<Image> images;  // in the order the tool writes them
    std::string problems;
  };
  const Row rows[] = {
      {"a 4x6 inch label unless the text sets its width or length",
       1,
       Label("", "Default"),
       Label("^PW400^LL300", "Small"),
       Label("^LL600", "Short"),
       0,
       {{"report_etichetta_1_1.png", kDefaultLabelSize},
        {"report_archivio_1_1.png", {400, 300}},
        {"report_custom_1_1.png", {812, 600}}},
       ""},
      {"texts in other printer languages",
       2,
       "N\r\nq812\r\nA50,50,0,4,1,1,N,\"EPL\"\r\nP1\r\n",
       "%PDF-1.4\n%\x01\x02\n1 0 obj",
       Label("", "Ours"),
       1,
       {{"report_custom_2_1.png", kDefaultLabelSize}},
       "REPORT_ETICHETTA of job 2/1 is not ZPL (it starts \"N\"), so it has no preview\n"
       "REPORT_ARCHIVIO of job 2/1 is not ZPL (it starts \"%PDF-1.4\"), so it has no preview\n"},
      {"a label format that never ends, and blanks",
       3,
       "\t^XA^FO40,40^A0N,50,50^FDOpen^FS",
       "",
       " \r\n",
       1,
       {},
       "REPORT_ETICHETTA of job 3/1 is not ZPL (it starts \"^XA^FO40,40^A0N,50,50^FD\"), so it "
       "has no preview\n"},
      {"two label formats in one text",
       4,
       "",
       Label("^PW600", "First") + "\r\n" + Label("^PW600", "Second"),
       "",
       0,
       {{"report_archivio_4_1_1.png", {600, 1218}}, {"report_archivio_4_1_2.png", {600, 1218}}},
       ""},
      {"no label stored", 5, "", "", "", 1, {}, "job 5/1 has no stored label\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const PreviewRun run = Preview(row.testata, row.etichetta, row.archivio, row.custom);

    const std::string previews = Previews(row.testata);
    std::string written;
    std::vector<std::string> names;
    for (const Image& image : row.images) {
      written += previews + "/" + image.name + "\n";
      names.push_back(image.name);
      EXPECT_EQ(PngSize(previews + "/" + image.name), image.size) << image.name;
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(run.exit_code, row.exit_code);
    EXPECT_EQ(run.written, written);
    EXPECT_EQ(run.problems, row.problems);
    EXPECT_EQ(FileNames(previews), names);
  }
}

// The host sends labels to the printer in the Windows code page (^CI27): the preview shows each
// character as such a printer prints it, as a label in UTF-8 (^CI28) shows it.
TEST_F(LabelPreviewTest, CharactersShowAsThePrinterPrintsThem) {
  const std::string text = "München, Forlì, L´Atelier";
  const PreviewRun run = Preview(1, Label("^CI27", text), "", Label("^CI28", text));
  ASSERT_EQ(run.exit_code, 0) << run.problems;
  EXPECT_EQ(ReadFileBytes(Utf8ToUtf16(Previews(1) + "/report_etichetta_1_1.png")),
            ReadFileBytes(Utf8ToUtf16(Previews(1) + "/report_custom_1_1.png")));
}

TEST_F(LabelPreviewTest, Refusals) {
  database_.Execute("INSERT INTO VORLABR (TESTATA, RIGA, REPORT_CUSTOM) VALUES (1, 1, '" +
                    Label("", "Label") + "')");
  const std::string usage = "usage: label-preview DATABASE TESTATA RIGA [FOLDER]\n";
  const std::string missing = folder_.path() + "missing";
  struct Row {
    const char* name;
    std::vector<std::string> arguments;
    std::string problem;
  };
  const Row rows[] = {
      {"no arguments", {}, usage},
      {"no row", {database_.connection(), "1"}, usage},
      {"one argument too many", {database_.connection(), "1", "1", folder_.path(), "x"}, usage},
      {"a header that is not a number",
       {database_.connection(), "x", "1"},
       "TESTATA and RIGA must be whole numbers, not \"x\" and \"1\"\n"},
      {"a row with more than digits",
       {database_.connection(), "1", "1 OR 1=1"},
       "TESTATA and RIGA must be whole numbers, not \"1\" and \"1 OR 1=1\"\n"},
      {"a job that is not there",
       {database_.connection(), "1", "2"},
       "job 1/2 is not in VORLABR\n"},
      {"a folder that is not there",
       {database_.connection(), "1", "1", missing},
       "Cannot create a file beside " + missing +
           "/report_custom_1_1.png: No such file or directory\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const PreviewRun run = RunLabelPreview(row.arguments);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.written, "");
    EXPECT_EQ(run.problems, row.problem);
  }
}

}  // namespace
}  // namespace vorlabws::testing
