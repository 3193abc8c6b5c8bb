// Base64 of RFC 4648 (standard alphabet, "=" padding), the form in which XML services carry binary
// content such as rendered documents.
#pragma once

#include <string>
#include <string_view>

namespace vorlabws {

std::string EncodeBase64(std::string_view bytes);

// The bytes of a Base64 text. White space (the line breaks of wrapped output) is skipped; any other
// character outside the alphabet, a misplaced "=" or an incomplete last group raises ConvertError.
std::string DecodeBase64(std::u16string_view text);

}  // namespace vorlabws
