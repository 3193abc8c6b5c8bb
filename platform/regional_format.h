// Numbers and dates as texts under the Italian regional format the host runs under: decimal
// comma, no thousands separator, dd/mm/yyyy dates. Conversions that fail raise ConvertError.
#pragma once

#include <cstdint>
#include <string>

namespace vorlabws {

// General form: at most 15 significant digits, no trailing zeros, exponent form ("1,5E15",
// "4,4E-5") only past 15 integer digits or below 0,0001.
std::u16string FloatToText(double value);

// Accepts blanks around, a sign, digits with one "," and an exponent; a "." is an error.
double TextToFloat(const std::u16string& text);

// Accepts leading blanks, a sign and decimal digits (32-bit range); anything else is an error.
int32_t TextToInteger(const std::u16string& text);

// Nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);

// An exact numeric (value × 10^-scale) without trailing zeros after the comma: 12500, 3 -> "12,5".
std::u16string ScaledToText(int64_t value, int scale);

std::u16string DateToText(int year, int month, int day);
std::u16string TimestampToText(int year, int month, int day, int hour, int minute, int second);

}  // namespace vorlabws
