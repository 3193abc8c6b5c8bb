#include "platform/code_page.h"

#include <array>
#include <cstdint>

namespace vorlabws {
namespace {

// 0x80..0x9F of Windows-1252; the undefined bytes keep their C1 value, as Windows' converter does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decodes one UTF-8 sequence at bytes[i]; returns the code point or -1 when malformed.
int32_t DecodeUtf8(std::string_view bytes, size_t& i) {
  const auto lead = static_cast<unsigned char>(bytes[i]);
  int length = 0;
  int32_t code = 0;
  if (lead < 0x80) {
    ++i;
    return lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07;
  } else {
    return -1;
  }
  if (i + length > bytes.size()) return -1;
  for (int k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(bytes[i + k]);
    if ((next & 0xC0) != 0x80) return -1;
    code = (code << 6) | (next & 0x3F);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return -1;
  i += length;
  return code;
}

std::u16string Utf16FromBytes(std::string_view bytes, bool big_endian) {
  std::u16string out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    out.push_back(static_cast<char16_t>(big_endian ? (a << 8) | b : (b << 8) | a));
  }
  return out;
}

// The Windows-1252 byte of a character, or -1 when the code page has none.
int Cp1252Byte(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (size_t k = 0; k < kCp1252High.size(); ++k) {
    if (kCp1252High[k] == c) return static_cast<int>(0x80 + k);
  }
  return -1;
}

std::string Utf16ToBytes(std::u16string_view text, bool big_endian) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char16_t c : text) {
    const char high = static_cast<char>(c >> 8);
    const char low = static_cast<char>(c & 0xFF);
    out.push_back(big_endian ? high : low);
    out.push_back(big_endian ? low : high);
  }
  return out;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes) {
  // No byte yields more than one unit (a four-byte sequence yields two), so the text is written
  // in place and cut to its length once.
  std::u16string out(bytes.size(), u'\0');
  size_t length = 0;
  for (size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      out[length++] = byte;
      ++i;
      continue;
    }
    int32_t code = DecodeUtf8(bytes, i);
    if (code < 0) {
      out[length++] = u'\uFFFD';
      ++i;
    } else if (code < 0x10000) {
      out[length++] = static_cast<char16_t>(code);
    } else {
      code -= 0x10000;
      out[length++] = static_cast<char16_t>(0xD800 + (code >> 10));
      out[length++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    }
  }
  out.resize(length);
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  // The length is counted first, so the bytes are written in place without growing the string.
  const auto code_at = [&text](size_t& i) -> uint32_t {
    const uint32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      return 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    return code >= 0xD800 && code <= 0xDFFF ? 0xFFFD : code;  // a lone surrogate has no UTF-8 form
  };
  const auto length_of = [](uint32_t code) {
    return code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
  };
  size_t length = 0;
  for (size_t i = 0; i < text.size(); ++i) length += length_of(code_at(i));
  std::string out(length, '\0');
  char* next = out.data();
  for (size_t i = 0; i < text.size(); ++i) {
    const uint32_t code = code_at(i);
    switch (length_of(code)) {
      case 1:
        *next++ = static_cast<char>(code);
        break;
      case 2:
        *next++ = static_cast<char>(0xC0 | (code >> 6));
        *next++ = static_cast<char>(0x80 | (code & 0x3F));
        break;
      case 3:
        *next++ = static_cast<char>(0xE0 | (code >> 12));
        *next++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *next++ = static_cast<char>(0x80 | (code & 0x3F));
        break;
      default:
        *next++ = static_cast<char>(0xF0 | (code >> 18));
        *next++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *next++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *next++ = static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

std::u16string Cp1252ToUtf16(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out[i] = b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
  }
  return out;
}

std::string Utf16ToCp1252(std::u16string_view text) {
  std::string out(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const int byte = Cp1252Byte(text[i]);
    out[i] = byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

bool FitsCp1252(std::u16string_view text) {
  for (const char16_t c : text) {
    if (Cp1252Byte(c) < 0) return false;
  }
  return true;
}

bool IsValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    if (DecodeUtf8(bytes, i) < 0) return false;
  }
  return true;
}

TextFileEncoding DetectTextFileEncoding(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return TextFileEncoding::kUtf8Bom;
  if (bytes.starts_with("\xFF\xFE")) return TextFileEncoding::kUtf16LeBom;
  if (bytes.starts_with("\xFE\xFF")) return TextFileEncoding::kUtf16BeBom;
  return IsValidUtf8(bytes) ? TextFileEncoding::kUtf8 : TextFileEncoding::kCp1252;
}

std::u16string DecodeTextFile(std::string_view bytes) {
  switch (DetectTextFileEncoding(bytes)) {
    case TextFileEncoding::kUtf8Bom:
      return Utf8ToUtf16(bytes.substr(3));
    case TextFileEncoding::kUtf16LeBom:
      return Utf16FromBytes(bytes.substr(2), false);
    case TextFileEncoding::kUtf16BeBom:
      return Utf16FromBytes(bytes.substr(2), true);
    case TextFileEncoding::kUtf8:
      return Utf8ToUtf16(bytes);
    case TextFileEncoding::kCp1252:
      break;
  }
  return Cp1252ToUtf16(bytes);
}

std::string EncodeTextFile(std::u16string_view text, TextFileEncoding encoding) {
  switch (encoding) {
    case TextFileEncoding::kUtf8Bom:
      return "\xEF\xBB\xBF" + Utf16ToUtf8(text);
    case TextFileEncoding::kUtf16LeBom:
      return "\xFF\xFE" + Utf16ToBytes(text, false);
    case TextFileEncoding::kUtf16BeBom:
      return "\xFE\xFF" + Utf16ToBytes(text, true);
    case TextFileEncoding::kUtf8:
      return Utf16ToUtf8(text);
    case TextFileEncoding::kCp1252:
      break;
  }
  return Utf16ToCp1252(text);
}

}  // namespace vorlabws
