// One column value of a fetched row, kept in its native form and rendered as text the way a
// Windows database client shows it under the Italian regional format.
#pragma once

#include <cstdint>
#include <string>

namespace vorlabws {

class FieldValue {
 public:
  static FieldValue Null();
  static FieldValue Text(std::u16string text);
  static FieldValue Exact(int64_t value, int scale);  // value × 10^-scale
  static FieldValue Float(double value);
  static FieldValue Date(int year, int month, int day);
  static FieldValue Time(int hour, int minute, int second);
  static FieldValue Timestamp(int year, int month, int day, int hour, int minute, int second);
  static FieldValue Boolean(bool value);

  bool IsNull() const { return kind_ == Kind::kNull; }
  // A NULL reads as the empty text.
  std::u16string AsString() const;
  // An integer value (an integral number in the 32-bit range, 0 for NULL) or a text of leading
  // blanks, a sign and digits; anything else raises ConvertError.
  int32_t AsInteger() const;

 private:
  enum class Kind { kNull, kText, kExact, kFloat, kDate, kTime, kTimestamp, kBoolean };
  Kind kind_ = Kind::kNull;
  std::u16string text_;
  int64_t exact_ = 0;
  int scale_ = 0;
  double float_ = 0;
  int parts_[6] = {};  // year, month, day, hour, minute, second
};

}  // namespace vorlabws
