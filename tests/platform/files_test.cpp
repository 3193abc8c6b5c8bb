#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/code_page.h"
#include "platform/failure.h"
#include "tests/support/test_support.h"

namespace vorlabws {
namespace {

namespace fs = std::filesystem;

using Writer = void (*)(const std::u16string&, const std::string&);

// A file written through symbolic links, as an installation joins its places: the bytes land in
// the file the links lead to, and every link stays a link.
struct LinkedWrite {
  const char* name;
  Writer write;
  std::vector<std::pair<std::string, std::string>> links;  // link -> its text, in the folder
  const char* written;                                     // the name written to
  const char* target;                                      // where the bytes must land
  bool target_exists;
};

TEST(FilesTest, WritesThroughLinksLandAtTheTargetAndKeepTheLinks) {
  const LinkedWrite rows[] = {
      {"in place, existing target",
       WriteFileBytes,
       {{"errore.txt", "var/errore.txt"}},
       "errore.txt",
       "var/errore.txt",
       true},
      {"in place, missing target",
       WriteFileBytes,
       {{"errore.txt", "var/errore.txt"}},
       "errore.txt",
       "var/errore.txt",
       false},
      {"replacing, existing target",
       WriteFileReplacing,
       {{"errore.txt", "var/errore.txt"}},
       "errore.txt",
       "var/errore.txt",
       true},
      {"replacing, missing target",
       WriteFileReplacing,
       {{"errore.txt", "var/errore.txt"}},
       "errore.txt",
       "var/errore.txt",
       false},
      {"replacing, a chain of relative and absolute links",
       WriteFileReplacing,
       {{"errore.txt", "var/hop"}, {"var/hop", "<folder>etc/errore.txt"}},
       "errore.txt",
       "etc/errore.txt",
       true},
      {"replacing, a link in a linked folder",
       WriteFileReplacing,
       {{"data", "var"}, {"var/reply.txt", "../etc/reply.txt"}},
       "data/reply.txt",
       "etc/reply.txt",
       true},
  };
  for (const LinkedWrite& row : rows) {
    SCOPED_TRACE(row.name);
    const testing::TempFolder folder;
    fs::create_directories(folder.path() + "var");
    fs::create_directories(folder.path() + "etc");
    const std::string target = folder.path() + row.target;
    if (row.target_exists) WriteFileBytes(Utf8ToUtf16(target), "earlier text, longer than the new");
    for (auto [link, text] : row.links) {
      if (text.starts_with("<folder>")) text.replace(0, 8, folder.path());
      fs::create_symlink(text, folder.path() + link);
    }
    row.write(Utf8ToUtf16(folder.path() + row.written), "new text\r\n");

    EXPECT_EQ(ReadFileBytes(Utf8ToUtf16(target)), "new text\r\n");
    for (const auto& [link, text] : row.links) {
      EXPECT_TRUE(fs::is_symlink(folder.path() + link)) << link;
    }
    std::vector<std::string> hidden;
    for (const auto& entry : fs::recursive_directory_iterator(folder.path())) {
      if (entry.path().filename().string().starts_with(".")) hidden.push_back(entry.path());
    }
    EXPECT_EQ(hidden, std::vector<std::string>());  // no temporary left behind
  }
}

TEST(FilesTest, ALinkLoopIsAFileErrorNamingTheFile) {
  const testing::TempFolder folder;
  fs::create_symlink("b", folder.path() + "a");
  fs::create_symlink("a", folder.path() + "b");
  struct Row {
    const char* name;
    Writer write;
    std::string message;
  };
  const Row rows[] = {
      {"in place", WriteFileBytes,
       "Cannot create " + folder.path() + "a: Too many levels of symbolic links"},
      {"replacing", WriteFileReplacing,
       "Cannot follow the links of " + folder.path() + "a: Too many levels of symbolic links"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      row.write(Utf8ToUtf16(folder.path() + "a"), "text");
      ADD_FAILURE() << "no failure";
    } catch (const FileError& failure) {
      EXPECT_EQ(std::string(failure.what()), row.message);
    }
  }
}

}  // namespace
}  // namespace vorlabws
