// Previews of the labels a job stored: reads REPORT_ETICHETTA, REPORT_ARCHIVIO and REPORT_CUSTOM
// of one row of VORLABR and writes a PNG into a folder for each label format they hold. The job
// database is only read; its connection lives for the reading alone.
#pragma once

#include <ostream>
#include <string>

namespace vorlabws {

struct PreviewRequest {
  std::u16string database;  // a file path (embedded engine) or "host:path" (the server)
  int testata = 0;
  int riga = 0;
  std::string folder;  // where the images go; empty for the working folder
};

// Exit codes of the tool.
enum PreviewOutcome {
  kAllPreviewed = 0,
  kLabelWithoutPreview = 1,  // a stored text is not ZPL, or the job stored no label
  kPreviewFailed = 2,        // wrong arguments, no such job, a database or renderer failure
};

// Writes the previews, naming each file after its column and the job
// ("report_custom_20_1.png", with "_1", "_2" ... when a text holds several label formats). Prints
// each written file's path on `written` and one line on `problems` for each text that has no
// preview. Raises a Failure when the job cannot be read or a file cannot be written.
PreviewOutcome PreviewLabels(const PreviewRequest& request, std::ostream& written,
                             std::ostream& problems);

}  // namespace vorlabws
