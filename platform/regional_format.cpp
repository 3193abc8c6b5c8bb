#include "platform/regional_format.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/code_page.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace vorlabws {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

[[noreturn]] void RaiseNotNumber(const std::u16string& text, const char* kind) {
  throw ConvertError("'" + Utf16ToUtf8(text) + "' is not a valid " + kind + " value");
}

std::string TrimTrailingZeros(std::string digits) {
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return digits;
}

std::u16string TwoDigits(int value) {
  std::u16string text = IntToText(value);
  return text.size() < 2 ? u"0" + text : text;
}

}  // namespace

std::u16string FloatToText(double value) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value > 0 ? u"INF" : u"-INF";
  if (value == 0) return u"0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);  // d.dddddddddddddde±x: 15 digits
  const std::string text = buffer;
  const bool negative = text[0] == '-';
  const size_t start = negative ? 1 : 0;
  const size_t e = text.find('e');
  std::string digits = text.substr(start, 1) + text.substr(start + 2, e - start - 2);
  digits = TrimTrailingZeros(digits);
  const int exponent = std::atoi(text.c_str() + e + 1);

  std::string out = negative ? "-" : "";
  if (exponent >= 15 || exponent < -4) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "," + digits.substr(1);
    out += "E" + std::to_string(exponent);
  } else if (exponent < 0) {
    out += "0," + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  } else {
    const size_t integer_digits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= integer_digits) {
      out += digits + std::string(integer_digits - digits.size(), '0');
    } else {
      out += digits.substr(0, integer_digits) + "," + digits.substr(integer_digits);
    }
  }
  return Ascii(out);
}

double TextToFloat(const std::u16string& text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == u' ') ++i;
  std::string c_form;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) c_form += static_cast<char>(text[i++]);
  size_t digits = 0;
  for (; i < n && IsDigit(text[i]); ++i, ++digits) c_form += static_cast<char>(text[i]);
  if (i < n && text[i] == u',') {
    c_form += '.';
    for (++i; i < n && IsDigit(text[i]); ++i, ++digits) c_form += static_cast<char>(text[i]);
  }
  if (digits == 0) RaiseNotNumber(text, "floating point");
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    c_form += 'e';
    ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) c_form += static_cast<char>(text[i++]);
    size_t exponent_digits = 0;
    for (; i < n && IsDigit(text[i]); ++i, ++exponent_digits) c_form += static_cast<char>(text[i]);
    if (exponent_digits == 0) RaiseNotNumber(text, "floating point");
  }
  while (i < n && text[i] == u' ') ++i;
  if (i != n) RaiseNotNumber(text, "floating point");
  const double value = std::strtod(c_form.c_str(), nullptr);
  if (std::isinf(value)) RaiseNotNumber(text, "floating point");
  return value;
}

int32_t TextToInteger(const std::u16string& text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == u' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  if (i == n) RaiseNotNumber(text, "integer");
  int64_t value = 0;
  for (; i < n; ++i) {
    if (!IsDigit(text[i])) RaiseNotNumber(text, "integer");
    value = value * 10 + (text[i] - u'0');
    if (value > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) {
      RaiseNotNumber(text, "integer");
    }
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) RaiseNotNumber(text, "integer");
  return static_cast<int32_t>(value);
}

double RoundHalfEven(double value) {
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double rounded = std::nearbyint(value);
  std::fesetround(saved);
  return rounded;
}

std::u16string ScaledToText(int64_t value, int scale) {
  if (scale <= 0) {
    std::string digits = std::to_string(value);
    if (value != 0) digits += std::string(static_cast<size_t>(-scale), '0');
    return Ascii(digits);
  }
  const bool negative = value < 0;
  // Work on the magnitude as unsigned so the most negative value has one too.
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : value;
  std::string digits = std::to_string(magnitude);
  if (digits.size() <= static_cast<size_t>(scale)) {
    digits.insert(0, static_cast<size_t>(scale) + 1 - digits.size(), '0');
  }
  std::string integer = digits.substr(0, digits.size() - scale);
  std::string fraction = digits.substr(digits.size() - scale);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  std::string out = integer + (fraction.empty() ? "" : "," + fraction);
  if (negative && out != "0") out.insert(0, "-");
  return Ascii(out);
}

std::u16string DateToText(int year, int month, int day) {
  std::u16string year_text = IntToText(year);
  while (year_text.size() < 4) year_text.insert(0, u"0");
  return TwoDigits(day) + u"/" + TwoDigits(month) + u"/" + year_text;
}

std::u16string TimestampToText(int year, int month, int day, int hour, int minute, int second) {
  return DateToText(year, month, day) + u" " + TwoDigits(hour) + u":" + TwoDigits(minute) + u":" +
         TwoDigits(second);
}

}  // namespace vorlabws
