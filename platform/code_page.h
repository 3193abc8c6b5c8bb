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

// Decodes the bytes of a text file written on Windows: a UTF-8 or UTF-16 (LE or BE) byte-order
// mark selects that encoding; without one, UTF-8 when the bytes are valid UTF-8, else Windows-1252.
std::u16string DecodeTextFile(std::string_view bytes);

}  // namespace vorlabws
