#include "platform/base64.h"

#include <algorithm>
#include <cstdint>

#include "platform/failure.h"

namespace vorlabws {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c - u'A';
  if (c >= u'a' && c <= u'z') return c - u'a' + 26;
  if (c >= u'0' && c <= u'9') return c - u'0' + 52;
  if (c == u'+') return 62;
  if (c == u'/') return 63;
  return -1;
}

bool IsWhiteSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

[[noreturn]] void RaiseInvalid(const char* why) {
  throw ConvertError(std::string("Invalid Base64 text: ") + why);
}

}  // namespace

std::string EncodeBase64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t count = std::min<size_t>(3, bytes.size() - i);
    uint32_t group = 0;
    for (size_t k = 0; k < 3; ++k) {
      group = (group << 8) | (k < count ? static_cast<unsigned char>(bytes[i + k]) : 0);
    }
    for (size_t k = 0; k < 4; ++k) {
      out.push_back(k <= count ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=');
    }
  }
  return out;
}

std::string DecodeBase64(std::u16string_view text) {
  std::string out;
  uint32_t group = 0;
  int sextets = 0;
  int padding = 0;
  for (const char16_t c : text) {
    if (IsWhiteSpace(c)) continue;
    if (c == u'=') {
      if (sextets < 2 || sextets + padding >= 4) RaiseInvalid("misplaced padding");
      ++padding;
      continue;
    }
    const int sextet = SextetOf(c);
    if (sextet < 0) RaiseInvalid("character outside the alphabet");
    if (padding > 0) RaiseInvalid("data after the padding");
    group = (group << 6) | static_cast<uint32_t>(sextet);
    if (++sextets == 4) {
      out.push_back(static_cast<char>(group >> 16));
      out.push_back(static_cast<char>(group >> 8));
      out.push_back(static_cast<char>(group));
      group = 0;
      sextets = 0;
    }
  }
  if (sextets == 0) return out;
  if (sextets + padding != 4) RaiseInvalid("incomplete last group");
  group <<= 6 * padding;
  out.push_back(static_cast<char>(group >> 16));
  if (sextets == 3) out.push_back(static_cast<char>(group >> 8));
  return out;
}

}  // namespace vorlabws
