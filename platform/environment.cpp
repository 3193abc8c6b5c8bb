#include "platform/environment.h"

#include <cstdlib>

#include "platform/code_page.h"

namespace vorlabws {

std::optional<std::u16string> EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return Utf8ToUtf16(value);
}

}  // namespace vorlabws
