// What a preview needs to know of a stored label text without interpreting it: whether it holds a
// ZPL label format at all, the label size it sets, and the text as the renderer is to read it.
#pragma once

#include <string>
#include <string_view>

namespace vorlabws {

// A label's size in printer dots.
struct LabelSize {
  int width = 0;
  int height = 0;
  bool operator==(const LabelSize&) const = default;
};

// 203 dpi printers print 8 dots to the millimetre.
inline constexpr int kDotsPerMillimetre = 8;
// A 4 x 6 inch label at 203 dpi.
inline constexpr LabelSize kDefaultLabelSize{812, 1218};

// True when the text is ZPL holding a label format: it starts, after blanks, with a command ("^" or
// "~") and holds "^XA" with a "^XZ" after it. Other printer languages start otherwise.
bool IsZpl(std::u16string_view text);

// The print width (^PW) and label length (^LL) the text sets first, in dots; the default label's
// for a dimension it does not set, or sets outside 1 to 32000 dots.
LabelSize SizeOfLabel(std::u16string_view text);

// The text in UTF-8 for the renderer. The host sends labels to the printer in the Windows code
// page, which a label selects with ^CI27; the renderer reads UTF-8, so such a label selects ^CI28
// instead and every character shows as the printer prints it.
std::string TextForRenderer(std::u16string_view text);

// The start of a text for a message: its first line without leading blanks, at most 24
// characters, control characters shown as "?".
std::u16string StartOfText(std::u16string_view text);

}  // namespace vorlabws
