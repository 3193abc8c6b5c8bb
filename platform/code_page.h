// Conversions between the system's UTF-16 texts and the byte encodings met at its edges: UTF-8
// (files, XML, HTTP, Linux paths) and Windows-1252 (the database connection, the host's files).
#pragma once

#include <string>
#include <string_view>

namespace vorlabws {

std::u16string Utf8ToUtf16(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);

// Windows-1252 as Windows maps it: the five undefined bytes map to the C1 control of the same value,
// and characters outside the code page become "?".
std::u16string Cp1252ToUtf16(std::string_view bytes);
std::string Utf16ToCp1252(std::u16string_view text);

bool IsValidUtf8(std::string_view bytes);

// The encodings a text file written on Windows comes in.
enum class TextFileEncoding { kUtf8Bom, kUtf16LeBom, kUtf16BeBom, kUtf8, kCp1252 };

// A UTF-8 or UTF-16 (LE or BE) byte-order mark selects that encoding; without one, UTF-8 when the
// bytes are valid UTF-8, else Windows-1252.
TextFileEncoding DetectTextFileEncoding(std::string_view bytes);

// Decodes the bytes of a text file written on Windows, in the encoding detected as above.
std::u16string DecodeTextFile(std::string_view bytes);

// The bytes of a text file in `encoding`, with its byte-order mark when it has one.
std::string EncodeTextFile(std::u16string_view text, TextFileEncoding encoding);

// True when every character of the text has a Windows-1252 byte.
bool FitsCp1252(std::u16string_view text);

}  // namespace vorlabws
