// Writes one stored text of the job database to a file, for looking at what a job left behind
// (the demo writes the manifest and the courier report with it). The text goes out in UTF-8.
//
// Usage: stored_text database select column file
//   e.g. stored_text demo/archivio.fdb "SELECT MANIFEST FROM MANIFESTT WHERE ID=7" MANIFEST m.txt
#include <cstdio>
#include <exception>

#include "db/firebird.h"
#include "platform/code_page.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  using namespace vorlabws;
  if (argc != 5) {
    std::fprintf(stderr, "usage: stored_text database select column file\n");
    return 1;
  }
  try {
    IBDatabase database;
    database.DatabaseName = Utf8ToUtf16(argv[1]);
    database.Params = {u"user_name=SYSDBA", u"password=ambertide"};
    IBTransaction transaction(database);
    IBQuery query(database, transaction);
    query.SQL.Add(Utf8ToUtf16(argv[2]));
    query.Open();
    if (query.Eof()) throw Failure(std::string("no row for: ") + argv[2]);
    WriteFileBytes(Utf8ToUtf16(argv[4]),
                   Utf16ToUtf8(query.FieldByName(Utf8ToUtf16(argv[3])).AsString()));
    query.Close();
    transaction.Rollback();
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "stored_text: %s\n", failure.what());
    return 1;
  }
  return 0;
}
