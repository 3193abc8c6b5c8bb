#include "tests/tools/label-preview/preview_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/process.h"
#include "tests/support/test_support.h"

namespace vorlabws {

void PrintTo(const LabelSize& size, std::ostream* out) { *out << size.width << "x" << size.height; }

}  // namespace vorlabws

namespace vorlabws::testing {
namespace {

std::vector<std::u16string> Utf16Arguments(const std::vector<std::string>& arguments) {
  std::vector<std::u16string> converted;
  for (const std::string& argument : arguments) converted.push_back(Utf8ToUtf16(argument));
  return converted;
}

ProcessResult Run(const std::string& executable, const std::vector<std::string>& arguments) {
  StartOptions options;
  options.capture_output = true;
  return RunProcess(Utf8ToUtf16(executable), Utf16Arguments(arguments), options);
}

int BigEndian32(const std::string& bytes, size_t at) {
  int value = 0;
  for (size_t i = at; i < at + 4; ++i) value = value * 256 + static_cast<unsigned char>(bytes[i]);
  return value;
}

}  // namespace

void AddDemoJobs(const JobDatabase& database) {
  // Every statement commits on its own here; the script's COMMIT lines are for isql.
  std::istringstream lines(ReadFileBytes(Utf8ToUtf16(SourceFolder() + "tools/demo/jobs.sql")));
  std::string script;
  for (std::string line; std::getline(lines, line);) {
    if (line != "COMMIT;") script += line + "\n";
  }
  database.ExecuteScript(script);
}

PreviewRun RunLabelPreview(const std::vector<std::string>& arguments) {
  const ProcessResult run = Run(VORLABWS_LABEL_PREVIEW, arguments);
  return {run.exit_code, run.standard_output, run.standard_error};
}

LabelSize PngSize(const std::string& path) {
  // The signature (8 bytes), the IHDR chunk's length and type (8), then width and height.
  const std::string bytes = ReadFileBytes(Utf8ToUtf16(path));
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {};
  return {BigEndian32(bytes, 16), BigEndian32(bytes, 20)};
}

std::vector<std::string> ScanBarcodes(const std::string& path) {
  std::istringstream lines(Run(VORLABWS_ZBARIMG, {"-q", path}).standard_output);
  std::vector<std::string> codes;
  for (std::string line; std::getline(lines, line);) codes.push_back(line);
  std::sort(codes.begin(), codes.end());
  return codes;
}

void ExpectScannedPreviews(const std::string& database, int testata, int riga,
                           const std::string& folder, const std::vector<ScannedPreview>& previews) {
  std::filesystem::create_directory(folder);
  const PreviewRun run =
      RunLabelPreview({database, std::to_string(testata), std::to_string(riga), folder});
  std::string written;
  for (const ScannedPreview& preview : previews) {
    SCOPED_TRACE(preview.name);
    const std::string path = folder + "/" + preview.name;
    written += path + "\n";
    EXPECT_EQ(PngSize(path), kDefaultLabelSize);
    EXPECT_EQ(ScanBarcodes(path), preview.codes);
  }
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.written, written);
  EXPECT_EQ(run.problems, "");
}

std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vorlabws::testing
