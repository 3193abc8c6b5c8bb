// The database argument splits into the folder (with its final separator) and the file name.
#include <gtest/gtest.h>

#include "jobs/Funzioni.h"

namespace vorlabws {
namespace {

TEST(DatabasePathTest, SplitsAtTheLastSeparator) {
  struct Row {
    const char* name;
    std::u16string database;
    std::u16string percorso;
    std::u16string nome;
  };
  const Row rows[] = {
      {"folder and file", u"C:\\Dati\\archivio.fdb", u"C:\\Dati\\", u"archivio.fdb"},
      {"ends with a separator", u"C:\\Dati\\", u"C:\\Dati\\", u""},
      {"bare file name", u"archivio.fdb", u"", u"archivio.fdb"},
      {"drive without backslash", u"C:archivio.fdb", u"C:", u"archivio.fdb"},
      {"share path", u"\\\\srv\\d\\Dati\\a.fdb", u"\\\\srv\\d\\Dati\\", u"a.fdb"},
      {"linux path", u"/srv/dati/archivio.fdb", u"/srv/dati/", u"archivio.fdb"},
      {"server and linux path", u"localhost:/srv/dati/a.fdb", u"localhost:/srv/dati/", u"a.fdb"},
      {"alias on a server", u"srv:job", u"srv:", u"job"},
      {"empty", u"", u"", u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const DatabasePath path = SplitDatabasePath(row.database);
    EXPECT_EQ(path.Percorso, row.percorso);
    EXPECT_EQ(path.Nome, row.nome);
  }
}

}  // namespace
}  // namespace vorlabws
