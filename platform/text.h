// Small helpers on the system's UTF-16 texts, shared by every layer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlabws {

// Where `needle` first occurs in `text` at or after `from`, or npos: std::u16string_view::find's
// answer, found by scanning the bytes for the needle's first unit (templates are scanned once
// for each of their placeholders).
size_t FindText(std::u16string_view text, std::u16string_view needle, size_t from = 0);

// Replaces every occurrence of `from` (case-sensitive) in one pass from the left.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to);

// The lines joined with CR LF between them (no line end after the last one).
std::u16string JoinLines(const std::vector<std::u16string>& lines);

// The decimal digits of an integer, with "-" for negative values.
std::u16string IntToText(int64_t value);

// Equal but for the case of the ASCII letters (names, schemes, media types).
bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b);

// ASCII text into UTF-16, for literals and library messages known to be ASCII.
std::u16string Ascii(std::string_view text);

}  // namespace vorlabws
