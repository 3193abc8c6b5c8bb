// Templates shipped in the program folder: read as lines (a byte-order mark selects UTF-8 or
// UTF-16, otherwise Windows-1252 unless the bytes are valid UTF-8; CR, LF and CR LF end a line)
// and joined again with CR LF after every line, the last one included.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorlabws {

std::u16string ReadTemplateText(const std::u16string& path);

// The same rule applied to a text already decoded.
std::u16string NormaliseTemplateLines(const std::u16string& text);

// One placeholder ("@NAME@") and the value it is filled with.
struct Placeholder {
  std::u16string_view name;
  std::u16string value;
};

// Fills the placeholders one after the other, each replacing every occurrence (case-sensitive) in
// the text as it stands after the earlier ones, the value inserted unchanged.
std::u16string FillPlaceholders(std::u16string text, const std::vector<Placeholder>& placeholders);

}  // namespace vorlabws
