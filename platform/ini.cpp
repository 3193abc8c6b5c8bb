#include "platform/ini.h"

#include <optional>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/trace.h"

namespace vorlabws {
namespace {

// Windows reads values into a buffer of 2048 characters, the last one for the terminator.
constexpr size_t kValueLimit = 2047;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string Trim(std::u16string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return std::u16string(text.substr(first, last - first));
}

// Upper case for the Latin letters a name can hold; other characters compare as they are.
char16_t FoldCase(char16_t c) {
  if (c >= u'a' && c <= u'z') return c - u'a' + u'A';
  if (c >= u'\u00E0' && c <= u'\u00FE' && c != u'\u00F7') return c - 0x20;
  return c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

struct IniLine {
  enum class Kind { kOther, kSection, kKey };
  std::u16string text;
  Kind kind = Kind::kOther;
  std::u16string name;   // the section's or the key's name, without blanks around it
  std::u16string value;  // a key's text after "=", as written
};

IniLine ParseLine(std::u16string text) {
  IniLine line;
  line.text = std::move(text);
  const std::u16string trimmed = Trim(line.text);
  if (trimmed.empty() || trimmed.front() == u';') return line;
  if (trimmed.front() == u'[') {
    const size_t close = trimmed.rfind(u']');
    line.kind = IniLine::Kind::kSection;
    line.name = Trim(std::u16string_view(trimmed).substr(
        1, close == std::u16string::npos ? std::u16string::npos : close - 1));
    return line;
  }
  line.kind = IniLine::Kind::kKey;
  const size_t equals = trimmed.find(u'=');
  line.name = Trim(std::u16string_view(trimmed).substr(0, equals));
  if (equals != std::u16string::npos) line.value = trimmed.substr(equals + 1);
  return line;
}

// CR LF, LF and CR all end a line; a line end after the last line starts no new one.
std::vector<IniLine> ParseLines(std::u16string_view text) {
  std::vector<IniLine> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) end = text.size();
    lines.push_back(ParseLine(std::u16string(text.substr(start, end - start))));
    start = end + (text.substr(end).starts_with(u"\r\n") ? 2 : 1);
  }
  return lines;
}

// The lines of the first section named `section`: its header and the end of its lines.
struct SectionSpan {
  size_t header;
  size_t end;
};

std::optional<SectionSpan> FindSection(const std::vector<IniLine>& lines,
                                       std::u16string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != IniLine::Kind::kSection || !SameName(lines[i].name, section)) continue;
    size_t end = i + 1;
    while (end < lines.size() && lines[end].kind != IniLine::Kind::kSection) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<IniLine>& lines, const SectionSpan& span,
                              std::u16string_view key) {
  for (size_t i = span.header + 1; i < span.end; ++i) {
    if (lines[i].kind == IniLine::Kind::kKey && SameName(lines[i].name, key)) return i;
  }
  return std::nullopt;
}

// The value as Windows returns it: blanks around it and one pair of matching quotes removed.
std::u16string Unquote(std::u16string_view written) {
  std::u16string value = Trim(written);
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value.substr(0, kValueLimit);
}

bool HasNonAscii(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// A file with a byte-order mark keeps its encoding, and so does a file already in UTF-8; any other
// file is written in Windows-1252, as Windows writes it, unless that would lose a character.
TextFileEncoding EncodingForWriting(const std::optional<std::string>& bytes,
                                    std::u16string_view text) {
  const TextFileEncoding found = bytes ? DetectTextFileEncoding(*bytes) : TextFileEncoding::kCp1252;
  const bool holds_utf8 = found == TextFileEncoding::kUtf8 && HasNonAscii(*bytes);
  if (found != TextFileEncoding::kUtf8 && found != TextFileEncoding::kCp1252) return found;
  if (holds_utf8 || !FitsCp1252(text)) return TextFileEncoding::kUtf8;
  return TextFileEncoding::kCp1252;
}

[[noreturn]] void RaiseUnableToWrite(const std::u16string& file_name) {
  throw IniFileError("Unable to write to " + Utf16ToUtf8(file_name));
}

}  // namespace

std::u16string TIniFile::ReadString(const std::u16string& Section,
                                    const std::u16string& Ident) const {
  std::string bytes;
  try {
    bytes = ReadFileBytes(FileName_);
  } catch (const FileError&) {
    return u"";  // a file that cannot be read holds no settings
  }
  const std::vector<IniLine> lines = ParseLines(DecodeTextFile(bytes));
  const std::optional<SectionSpan> span = FindSection(lines, Trim(Section));
  if (!span) return u"";
  const std::optional<size_t> key = FindKey(lines, *span, Trim(Ident));
  return key ? Unquote(lines[*key].value) : u"";
}

void TIniFile::WriteString(const std::u16string& Section, const std::u16string& Ident,
                           const std::u16string& Value) {
  std::optional<std::string> bytes;
  if (FileExists(FileName_)) {
    try {
      bytes = ReadFileBytes(FileName_);
    } catch (const FileError&) {
      RaiseUnableToWrite(FileName_);  // rewriting it unread would lose its other settings
    }
  }
  std::vector<IniLine> lines = bytes ? ParseLines(DecodeTextFile(*bytes)) : std::vector<IniLine>{};
  const std::u16string section = Trim(Section);
  const std::u16string key = Trim(Ident);
  const std::optional<SectionSpan> span = FindSection(lines, section);
  if (!span) {
    lines.push_back(ParseLine(u"[" + section + u"]"));
    lines.push_back(ParseLine(key + u"=" + Value));
  } else if (const std::optional<size_t> found = FindKey(lines, *span, key)) {
    lines[*found] = ParseLine(lines[*found].name + u"=" + Value);
  } else {
    size_t after = span->header;
    for (size_t i = span->header + 1; i < span->end; ++i) {
      if (lines[i].kind == IniLine::Kind::kKey) after = i;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after) + 1,
                 ParseLine(key + u"=" + Value));
  }
  std::u16string text;
  for (const IniLine& line : lines) text += line.text + u"\r\n";
  try {
    WriteFileBytes(FileName_, EncodeTextFile(text, EncodingForWriting(bytes, text)));
  } catch (const FileError&) {
    RaiseUnableToWrite(FileName_);
  }
  Trace("settings written to " + Utf16ToUtf8(FileName_),
        Utf16ToUtf8(u"[" + section + u"]\n" + key + u"=" + Value));
}

}  // namespace vorlabws
