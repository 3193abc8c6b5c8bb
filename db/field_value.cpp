#include "db/field_value.h"

#include <cmath>
#include <limits>

#include "platform/code_page.h"
#include "platform/failure.h"
#include "platform/regional_format.h"
#include "platform/text.h"

namespace vorlabws {
namespace {

[[noreturn]] void RaiseNotInteger(const std::u16string& shown) {
  throw ConvertError("'" + Utf16ToUtf8(shown) + "' is not a valid integer value");
}

int32_t CheckedInteger(double value, const std::u16string& shown) {
  if (value != std::floor(value) || value < std::numeric_limits<int32_t>::min() ||
      value > std::numeric_limits<int32_t>::max()) {
    RaiseNotInteger(shown);
  }
  return static_cast<int32_t>(value);
}

}  // namespace

FieldValue FieldValue::Null() { return FieldValue(); }

FieldValue FieldValue::Text(std::u16string text) {
  FieldValue value;
  value.kind_ = Kind::kText;
  value.text_ = std::move(text);
  return value;
}

FieldValue FieldValue::Exact(int64_t number, int scale) {
  FieldValue value;
  value.kind_ = Kind::kExact;
  value.exact_ = number;
  value.scale_ = scale;
  return value;
}

FieldValue FieldValue::Float(double number) {
  FieldValue value;
  value.kind_ = Kind::kFloat;
  value.float_ = number;
  return value;
}

FieldValue FieldValue::Date(int year, int month, int day) {
  FieldValue value;
  value.kind_ = Kind::kDate;
  value.parts_[0] = year, value.parts_[1] = month, value.parts_[2] = day;
  return value;
}

FieldValue FieldValue::Time(int hour, int minute, int second) {
  FieldValue value;
  value.kind_ = Kind::kTime;
  value.parts_[3] = hour, value.parts_[4] = minute, value.parts_[5] = second;
  return value;
}

FieldValue FieldValue::Timestamp(int year, int month, int day, int hour, int minute, int second) {
  FieldValue value = Date(year, month, day);
  value.kind_ = Kind::kTimestamp;
  value.parts_[3] = hour, value.parts_[4] = minute, value.parts_[5] = second;
  return value;
}

FieldValue FieldValue::Boolean(bool flag) {
  FieldValue value;
  value.kind_ = Kind::kBoolean;
  value.exact_ = flag ? 1 : 0;
  return value;
}

std::u16string FieldValue::AsString() const {
  switch (kind_) {
    case Kind::kNull:
      return u"";
    case Kind::kText:
      return text_;
    case Kind::kExact:
      return ScaledToText(exact_, scale_);
    case Kind::kFloat:
      return FloatToText(float_);
    case Kind::kDate:
      return DateToText(parts_[0], parts_[1], parts_[2]);
    case Kind::kTime: {
      const std::u16string stamp = TimestampToText(1, 1, 1, parts_[3], parts_[4], parts_[5]);
      return stamp.substr(stamp.find(u' ') + 1);
    }
    case Kind::kTimestamp:
      return TimestampToText(parts_[0], parts_[1], parts_[2], parts_[3], parts_[4], parts_[5]);
    case Kind::kBoolean:
      return exact_ ? u"True" : u"False";
  }
  return u"";
}

int32_t FieldValue::AsInteger() const {
  switch (kind_) {
    case Kind::kNull:
      return 0;
    case Kind::kText:
      return TextToInteger(text_);
    case Kind::kExact: {
      int64_t divisor = 1;
      for (int i = 0; i < scale_; ++i) divisor *= 10;
      if (exact_ % divisor != 0) RaiseNotInteger(AsString());
      return CheckedInteger(static_cast<double>(exact_ / divisor), AsString());
    }
    case Kind::kFloat:
      return CheckedInteger(float_, AsString());
    default:
      return TextToInteger(AsString());
  }
}

}  // namespace vorlabws
