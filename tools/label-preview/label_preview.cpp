#include "tools/label-preview/label_preview.h"

#include <filesystem>
#include <optional>
#include <vector>

#include "db/firebird.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tools/label-preview/label_renderer.h"
#include "tools/label-preview/zpl_text.h"

namespace vorlabws {
namespace {

const char16_t* const kLabelColumns[] = {u"REPORT_ETICHETTA", u"REPORT_ARCHIVIO", u"REPORT_CUSTOM"};

// The worker's own login.
const std::vector<std::u16string> kLogin = {u"user_name=SYSDBA", u"password=ambertide"};

struct StoredLabel {
  std::u16string column;
  std::u16string text;
};

// The label columns of the job's row, in their order, or nothing when there is no such row.
std::optional<std::vector<StoredLabel>> ReadStoredLabels(const PreviewRequest& request) {
  IBDatabase database;
  database.DatabaseName = request.database;
  database.Params = kLogin;
  database.Open();
  IBTransaction transaction(database);
  IBQuery query(database, transaction);
  query.SQL.Add(
      u"SELECT REPORT_ETICHETTA, REPORT_ARCHIVIO, REPORT_CUSTOM FROM VORLABR WHERE TESTATA=" +
      IntToText(request.testata) + u" AND RIGA=" + IntToText(request.riga));
  query.Open();
  if (query.Eof()) return std::nullopt;
  std::vector<StoredLabel> labels;
  for (const char16_t* column : kLabelColumns) {
    labels.push_back({column, query.FieldByName(column).AsString()});
  }
  return labels;
}

bool IsBlank(const std::u16string& text) {
  return text.find_first_not_of(u" \t\r\n") == std::u16string::npos;
}

std::string Lower(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'A' && c <= u'Z') c = c - u'A' + u'a';
  }
  return Utf16ToUtf8(text);
}

// "report_custom_20_1.png", or with "_<n>" for the n-th of several label formats.
std::string FileName(const StoredLabel& label, const PreviewRequest& request, size_t number,
                     size_t count) {
  std::string name = Lower(label.column) + "_" + std::to_string(request.testata) + "_" +
                     std::to_string(request.riga);
  if (count > 1) name += "_" + std::to_string(number);
  return name + ".png";
}

std::string JobName(const PreviewRequest& request) {
  return "job " + std::to_string(request.testata) + "/" + std::to_string(request.riga);
}

// Renders one stored ZPL text and writes its images; prints their paths.
void WritePreviews(const StoredLabel& label, const PreviewRequest& request, std::ostream& written) {
  std::vector<std::string> images;
  try {
    images = RenderZpl(label.text, SizeOfLabel(label.text));
  } catch (const RendererError& error) {
    throw RendererError(Utf16ToUtf8(label.column) + " of " + JobName(request) +
                        " could not be rendered: " + error.what());
  }
  for (size_t i = 0; i < images.size(); ++i) {
    const std::string path =
        (std::filesystem::path(request.folder) / FileName(label, request, i + 1, images.size()))
            .string();
    WriteFileReplacing(Utf8ToUtf16(path), images[i]);
    written << path << "\n";
  }
}

}  // namespace

PreviewOutcome PreviewLabels(const PreviewRequest& request, std::ostream& written,
                             std::ostream& problems) {
  const std::optional<std::vector<StoredLabel>> labels = ReadStoredLabels(request);
  if (!labels) throw Failure(JobName(request) + " is not in VORLABR");
  PreviewOutcome outcome = kAllPreviewed;
  bool any_label = false;
  for (const StoredLabel& label : *labels) {
    if (IsBlank(label.text)) continue;
    any_label = true;
    if (IsZpl(label.text)) {
      WritePreviews(label, request, written);
    } else {
      problems << Utf16ToUtf8(label.column) << " of " << JobName(request)
               << " is not ZPL (it starts \"" << Utf16ToUtf8(StartOfText(label.text))
               << "\"), so it has no preview\n";
      outcome = kLabelWithoutPreview;
    }
  }
  if (!any_label) {
    problems << JobName(request) << " has no stored label\n";
    outcome = kLabelWithoutPreview;
  }
  return outcome;
}

}  // namespace vorlabws
