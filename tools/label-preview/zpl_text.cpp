#include "tools/label-preview/zpl_text.h"

#include "platform/code_page.h"

namespace vorlabws {
namespace {

constexpr std::u16string_view kBlanks = u" \t\r\n";

// ZPL allows no dimension beyond 32000 dots.
constexpr int kLargestDimension = 32000;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The value of the first `command` ("^PW") followed by digits, when it lies in 1 to 32000.
int FirstDimension(std::u16string_view text, std::u16string_view command, int fallback) {
  const size_t found = text.find(command);
  if (found == std::u16string_view::npos) return fallback;
  long value = 0;
  size_t position = found + command.size();
  for (; position < text.size() && IsDigit(text[position]) && value <= kLargestDimension;
       ++position) {
    value = value * 10 + (text[position] - u'0');
  }
  return value >= 1 && value <= kLargestDimension ? static_cast<int>(value) : fallback;
}

}  // namespace

bool IsZpl(std::u16string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::u16string_view::npos || (text[first] != u'^' && text[first] != u'~')) {
    return false;
  }
  const size_t start = text.find(u"^XA", first);
  return start != std::u16string_view::npos &&
         text.find(u"^XZ", start + 3) != std::u16string_view::npos;
}

LabelSize SizeOfLabel(std::u16string_view text) {
  return {FirstDimension(text, u"^PW", kDefaultLabelSize.width),
          FirstDimension(text, u"^LL", kDefaultLabelSize.height)};
}

std::string TextForRenderer(std::u16string_view text) {
  constexpr std::u16string_view kWindowsCodePage = u"^CI27";
  std::u16string result;
  size_t from = 0;
  for (size_t found = text.find(kWindowsCodePage); found != std::u16string_view::npos;
       found = text.find(kWindowsCodePage, found + 1)) {
    const size_t end = found + kWindowsCodePage.size();
    if (end < text.size() && IsDigit(text[end])) continue;  // another character set
    result.append(text.substr(from, found - from)).append(u"^CI28");
    from = end;
  }
  result.append(text.substr(from));
  return Utf16ToUtf8(result);
}

std::u16string StartOfText(std::u16string_view text) {
  constexpr size_t kLongest = 24;
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::u16string_view::npos) return u"";
  std::u16string start;
  for (size_t i = first;
       i < text.size() && text[i] != u'\r' && text[i] != u'\n' && start.size() < kLongest; ++i) {
    start += text[i] < u' ' ? u'?' : text[i];
  }
  return start;
}

}  // namespace vorlabws
