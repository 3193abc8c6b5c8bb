#include "jobs/template_text.h"

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/text.h"

namespace vorlabws {

std::u16string NormaliseTemplateLines(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size() + 2);
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string::npos) {
      out.append(text, start);
      out += u"\r\n";
      break;
    }
    out.append(text, start, end - start);
    out += u"\r\n";
    start = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
  }
  return out;
}

std::u16string ReadTemplateText(const std::u16string& path) {
  return NormaliseTemplateLines(DecodeTextFile(ReadFileBytes(path)));
}

std::u16string FillPlaceholders(std::u16string text, const std::vector<Placeholder>& placeholders) {
  for (const Placeholder& placeholder : placeholders) {
    text = ReplaceAll(text, placeholder.name, placeholder.value);
  }
  return text;
}

}  // namespace vorlabws
