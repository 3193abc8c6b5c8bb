#include "platform/text.h"

#include <cstring>

namespace vorlabws {

size_t FindText(std::u16string_view text, std::u16string_view needle, size_t from) {
  if (needle.empty() || text.size() < needle.size()) return text.find(needle, from);
  // memchr looks at many bytes a step; a hit on the unit's first byte that is the second byte
  // of a unit, or the start of a different unit, is skipped. A first byte of zero would hit in
  // every ASCII unit, so such a needle takes the plain search.
  unsigned char first_byte = 0;
  std::memcpy(&first_byte, needle.data(), 1);
  if (first_byte == 0) return text.find(needle, from);
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const size_t last = text.size() - needle.size();
  for (size_t at = from; at <= last;) {
    const void* hit = std::memchr(bytes + 2 * at, first_byte, 2 * (last - at) + 1);
    if (hit == nullptr) return std::u16string_view::npos;
    const size_t offset = static_cast<size_t>(static_cast<const unsigned char*>(hit) - bytes);
    at = offset / 2;
    if (offset % 2 == 0 && text.substr(at, needle.size()) == needle) return at;
    ++at;
  }
  return std::u16string_view::npos;
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to) {
  if (from.empty()) return std::u16string(text);
  std::u16string out;
  out.reserve(text.size());
  size_t start = 0;
  for (size_t hit = FindText(text, from); hit != std::u16string_view::npos;
       hit = FindText(text, from, start)) {
    out.append(text.substr(start, hit - start));
    out.append(to);
    start = hit + from.size();
  }
  out.append(text.substr(start));
  return out;
}

std::u16string JoinLines(const std::vector<std::u16string>& lines) {
  std::u16string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += u"\r\n";
    out += lines[i];
  }
  return out;
}

std::u16string IntToText(int64_t value) {
  return Ascii(std::to_string(value));
}

bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b) {
  const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::u16string Ascii(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace vorlabws
