#include "platform/environment.h"

#include <algorithm>
#include <cstdlib>

#include "platform/code_page.h"
#include "platform/failure.h"

namespace vorlabws {

std::optional<std::u16string> EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return Utf8ToUtf16(value);
}

std::optional<std::chrono::seconds> EnvironmentSeconds(const char* name) {
  const auto text = EnvironmentValue(name);
  if (!text) return std::nullopt;
  const std::string digits = Utf16ToUtf8(*text);
  const bool valid = digits.size() <= 6 && std::all_of(digits.begin(), digits.end(),
                                                       [](char c) { return c >= '0' && c <= '9'; });
  const long seconds = valid ? std::stol(digits) : 0;
  if (seconds == 0) {
    throw Failure(std::string(name) + " '" + digits + "' is not a number of seconds");
  }
  return std::chrono::seconds(seconds);
}

}  // namespace vorlabws
