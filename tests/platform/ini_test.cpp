// Settings files as Windows' private-profile functions read and write them: names without regard
// to case, blanks and quotes, first match wins, comments, line ends, byte-order marks, in-place
// rewriting, and the failure to write.
#include "platform/ini.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/support/test_support.h"
#include "tests/support/unprivileged_user.h"

namespace vorlabws {
namespace {

// An ASCII text as a UTF-16 file with its byte-order mark.
std::string Utf16File(const std::string& ascii, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : ascii) {
    bytes += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
  }
  return bytes;
}

class IniTest : public ::testing::Test {
 protected:
  std::u16string FileName() const { return Utf8ToUtf16(folder_.path() + "dati.ini"); }

  testing::TempFolder folder_;
};

TEST_F(IniTest, ReadsFilesAsWindowsReadsThem) {
  struct Row {
    const char* name;
    std::string file;
    std::u16string section;
    std::u16string key;
    std::u16string value;
  };
  const Row rows[] = {
      {"names in another case", "[config]\r\nnome server=srv\r\n", u"CONFIG", u"Nome Server",
       u"srv"},
      {"blanks around names and value", "[ CONFIG ]\r\n  Nome Server \t=  \t srv \t\r\n", u"CONFIG",
       u"Nome Server", u"srv"},
      {"double quotes removed", "[CONFIG]\r\nAlias=\"job\"\r\n", u"CONFIG", u"Alias", u"job"},
      {"single quotes removed", "[CONFIG]\r\nAlias='job'\r\n", u"CONFIG", u"Alias", u"job"},
      {"quotes that do not match kept", "[CONFIG]\r\nAlias=\"job'\r\n", u"CONFIG", u"Alias",
       u"\"job'"},
      {"only one pair of quotes removed", "[CONFIG]\r\nAlias=\"\"job\"\"\r\n", u"CONFIG", u"Alias",
       u"\"job\""},
      {"blanks inside quotes kept", "[CONFIG]\r\nAlias=\" job \"\r\n", u"CONFIG", u"Alias",
       u" job "},
      {"equals sign inside the value", "[CONFIG]\r\nAlias=a=b\r\n", u"CONFIG", u"Alias", u"a=b"},
      {"first of two keys wins", "[CONFIG]\r\nAlias=one\r\nALIAS=two\r\n", u"CONFIG", u"Alias",
       u"one"},
      {"first of two sections wins", "[CONFIG]\r\nx=1\r\n[Config]\r\nAlias=job\r\n", u"CONFIG",
       u"Alias", u""},
      {"comment line", "[CONFIG]\r\n;Alias=job\r\n", u"CONFIG", u"Alias", u""},
      {"indented comment line", "[CONFIG]\r\n \t; Alias=job\r\n", u"CONFIG", u"Alias", u""},
      {"semicolon and hash inside a value", "[CONFIG]\r\nAlias=job ; x # y\r\n", u"CONFIG",
       u"Alias", u"job ; x # y"},
      {"LF line ends", "[CONFIG]\nAlias=job\n", u"CONFIG", u"Alias", u"job"},
      {"CR line ends", "[CONFIG]\rAlias=job\r", u"CONFIG", u"Alias", u"job"},
      {"no line end after the last line", "[CONFIG]\r\nAlias=job", u"CONFIG", u"Alias", u"job"},
      {"UTF-16LE with its mark", Utf16File("[CONFIG]\r\nAlias=job\r\n", false), u"CONFIG", u"Alias",
       u"job"},
      {"UTF-16BE with its mark", Utf16File("[CONFIG]\nAlias=job\n", true), u"CONFIG", u"Alias",
       u"job"},
      {"UTF-8 with its mark", "\xEF\xBB\xBF[CONFIG]\r\nAlias=citt\xC3\xA0\r\n", u"CONFIG", u"Alias",
       u"citt\u00E0"},
      {"UTF-8 without a mark", "[CONFIG]\r\nAlias=citt\xC3\xA0\r\n", u"CONFIG", u"Alias",
       u"citt\u00E0"},
      {"Windows-1252", "[CONFIG]\r\nAlias=citt\xE0 \x80\r\n", u"CONFIG", u"Alias",
       u"citt\u00E0 \u20AC"},
      {"key before any section", "Alias=job\r\n[CONFIG]\r\n", u"CONFIG", u"Alias", u""},
      {"missing section", "[OTHER]\r\nAlias=job\r\n", u"CONFIG", u"Alias", u""},
      {"missing key", "[CONFIG]\r\nNome Server=srv\r\n", u"CONFIG", u"Alias", u""},
      {"line without equals sign", "[CONFIG]\r\nAlias\r\n", u"CONFIG", u"Alias", u""},
      {"long value cut", "[CONFIG]\r\nAlias=" + std::string(3000, 'x') + "\r\n", u"CONFIG",
       u"Alias", std::u16string(2047, u'x')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteFileBytes(FileName(), row.file);
    EXPECT_EQ(TIniFile(FileName()).ReadString(row.section, row.key), row.value);
  }
}

TEST_F(IniTest, MissingFileReadsEmpty) {
  EXPECT_EQ(TIniFile(FileName()).ReadString(u"CONFIG", u"Nome Server"), u"");
}

TEST_F(IniTest, WritesKeepingEveryOtherLine) {
  struct Row {
    const char* name;
    std::optional<std::string> before;  // none: no file
    std::u16string key;
    std::u16string value;
    std::string after;
  };
  const Row rows[] = {
      {"missing file created", std::nullopt, u"Nome Server", u"srv",
       "[CONFIG]\r\nNome Server=srv\r\n"},
      {"key rewritten in place with its own spelling",
       "; impostazioni\r\n[config]\r\n  NOME SERVER = old ; note\r\nAlias=job\r\n", u"Nome Server",
       u"srv", "; impostazioni\r\n[config]\r\nNOME SERVER=srv\r\nAlias=job\r\n"},
      {"first of two keys rewritten", "[CONFIG]\r\nAlias=a\r\nAlias=b\r\n", u"Alias", u"c",
       "[CONFIG]\r\nAlias=c\r\nAlias=b\r\n"},
      {"new key after the section's last key",
       "[CONFIG]\r\nAlias=job\r\n\r\n; altro\r\n[OTHER]\r\nx=1\r\n", u"Lettera Disco Server", u"E",
       "[CONFIG]\r\nAlias=job\r\nLettera Disco Server=E\r\n\r\n; altro\r\n[OTHER]\r\nx=1\r\n"},
      {"new key in a section without keys", "[CONFIG]\r\n[OTHER]\r\nx=1\r\n", u"Nome Server",
       u"srv", "[CONFIG]\r\nNome Server=srv\r\n[OTHER]\r\nx=1\r\n"},
      {"missing section appended, LF file written with CR LF", "[OTHER]\nx=1", u"Nome Server",
       u"srv", "[OTHER]\r\nx=1\r\n[CONFIG]\r\nNome Server=srv\r\n"},
      {"empty value", "[CONFIG]\r\nNome Server=old\r\n", u"Nome Server", u"",
       "[CONFIG]\r\nNome Server=\r\n"},
      {"UTF-16LE file stays UTF-16LE", Utf16File("[CONFIG]\r\nAlias=job\r\n", false),
       u"Nome Server", u"srv", Utf16File("[CONFIG]\r\nAlias=job\r\nNome Server=srv\r\n", false)},
      {"UTF-8 file with its mark keeps it", "\xEF\xBB\xBF[CONFIG]\r\n", u"Nome Server",
       u"forl\u00EC", "\xEF\xBB\xBF[CONFIG]\r\nNome Server=forl\xC3\xAC\r\n"},
      {"UTF-8 file stays UTF-8", "[CONFIG]\r\nAlias=citt\xC3\xA0\r\n", u"Nome Server",
       u"forl\u00EC", "[CONFIG]\r\nAlias=citt\xC3\xA0\r\nNome Server=forl\xC3\xAC\r\n"},
      {"Windows-1252 file stays Windows-1252", "[CONFIG]\r\nAlias=citt\xE0\r\n", u"Nome Server",
       u"forl\u00EC", "[CONFIG]\r\nAlias=citt\xE0\r\nNome Server=forl\xEC\r\n"},
      {"new file in Windows-1252", std::nullopt, u"Nome Server", u"forl\u00EC",
       "[CONFIG]\r\nNome Server=forl\xEC\r\n"},
      {"a character Windows-1252 lacks makes it UTF-8", "[CONFIG]\r\nAlias=citt\xE0\r\n",
       u"Nome Server", u"\u0141\u00F3d\u017A",
       "[CONFIG]\r\nAlias=citt\xC3\xA0\r\nNome Server=\xC5\x81\xC3\xB3"
       "d\xC5\xBA\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RemoveFileIfExists(FileName());
    if (row.before) WriteFileBytes(FileName(), *row.before);
    TIniFile settings(FileName());
    settings.WriteString(u"CONFIG", row.key, row.value);
    EXPECT_EQ(ReadFileBytes(FileName()), row.after);
    EXPECT_EQ(settings.ReadString(u"CONFIG", row.key), row.value);
  }
}

TEST_F(IniTest, FailedWriteNamesTheFileAndLeavesItAlone) {
  struct Row {
    const char* name;
    std::optional<std::string> before;
    mode_t file_mode;
    mode_t folder_mode;
  };
  const Row rows[] = {
      {"read-only folder without the file", std::nullopt, 0, 0555},
      {"read-only file", "[CONFIG]\r\nAlias=job\r\n", 0444, 0777},
      {"file others may write but not read", "[CONFIG]\r\nAlias=job\r\n", 0222, 0777},
  };
  const std::string file_name = folder_.path() + "dati.ini";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ::chmod(folder_.path().c_str(), 0777);
    RemoveFileIfExists(FileName());
    if (row.before) {
      WriteFileBytes(FileName(), *row.before);
      ::chmod(file_name.c_str(), row.file_mode);
    }
    ::chmod(folder_.path().c_str(), row.folder_mode);
    const std::string message = testing::RunUnprivileged([&] {
      try {
        TIniFile(FileName()).WriteString(u"CONFIG", u"Nome Server", u"srv");
        return std::string("written");
      } catch (const IniFileError& failure) {
        return std::string(failure.what());
      }
    });
    EXPECT_EQ(message, "Unable to write to " + file_name);
    ::chmod(folder_.path().c_str(), 0777);
    EXPECT_EQ(FileExists(FileName()), row.before.has_value());
    if (row.before) {
      EXPECT_EQ(ReadFileBytes(FileName()), *row.before);
    }
  }
}

}  // namespace
}  // namespace vorlabws
