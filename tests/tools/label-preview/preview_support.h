// What the label preview tests share: runs of the built label-preview tool, the size of a PNG it
// wrote, and the bar codes zbarimg reads from one.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/label-preview/zpl_text.h"

namespace vorlabws {
// Shows a size as "812x1218" in test output.
void PrintTo(const LabelSize& size, std::ostream* out);
}  // namespace vorlabws

namespace vorlabws::testing {

class JobDatabase;

// Adds the demo's jobs (tools/demo/jobs.sql) to the database.
void AddDemoJobs(const JobDatabase& database);

struct PreviewRun {
  int exit_code = -1;
  std::string written;   // standard output: the paths of the images
  std::string problems;  // standard error
};
PreviewRun RunLabelPreview(const std::vector<std::string>& arguments);

// The width and height a PNG file declares.
LabelSize PngSize(const std::string& path);

// Each bar code zbarimg reads in the image ("CODE-128:<data>"), sorted.
std::vector<std::string> ScanBarcodes(const std::string& path);

// A preview and the bar codes on it, each as zbarimg reads it ("CODE-128:<data>"), sorted.
struct ScannedPreview {
  const char* name;
  std::vector<std::string> codes;
};

// Runs the tool on the job into a new folder `folder` and checks that it wrote exactly these
// previews, in this order, each a 4x6 inch label whose bar codes read as listed.
void ExpectScannedPreviews(const std::string& database, int testata, int riga,
                           const std::string& folder, const std::vector<ScannedPreview>& previews);

// The names of the files in a folder, sorted.
std::vector<std::string> FileNames(const std::string& folder);

}  // namespace vorlabws::testing
