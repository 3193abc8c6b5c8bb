#include "couriers/dhl/dhl_job.h"

#include "jobs/job_update.h"
#include "platform/code_page.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/text.h"

namespace vorlabws {

DhlJobFiles::DhlJobFiles(const std::u16string& FilePath, const std::u16string& Testata,
                         const std::u16string& Riga)
    : request_template(FilePath + u"data/dhl_template.txt"),
      request_name(u"dhl_" + Testata + u"_" + Riga + u".txt"),
      data_folder(FilePath + u"data"),
      request(FilePath + u"data/" + request_name),
      reply(FilePath + u"data/out/" + request_name),
      label_template(FilePath + u"report/DHL.prn"),
      errore(FilePath + u"errore.txt"),
      relay(FilePath + u"Relayer.exe") {}

std::u16string ColumnText(const ColumnReader& job, const char16_t* column) {
  return job.Text(column);
}

std::u16string WithDecimalPoint(const std::u16string& number) {
  return ReplaceAll(number, u",", u".");
}

SqlText& NewStatement(IBQuery& query) {
  query.Close();
  query.SQL.Clear();
  return query.SQL;
}

bool ExecuteJobUpdate(IBQuery& query, IBTransaction& transaction,
                      const std::u16string& errore_path) {
  std::string failure;
  if (ExecuteUpdate(query, transaction, &failure)) return true;
  try {
    WriteFileBytes(errore_path, Utf16ToUtf8(query.SQL.Text() + u"\r\n"));
  } catch (const FileError& error) {
    // The run ends on this failure: its line tells the failed update too, which errore.txt would.
    throw FileError(std::string(error.what()) +
                    "; the failed update is not saved there: " + failure);
  }
  return false;
}

}  // namespace vorlabws
