// The process environment: installation overrides read at run time (service addresses, bounds).
// Values are returned as UTF-16 texts; an unset variable and an empty one both read as absent.
#pragma once

#include <optional>
#include <string>

namespace vorlabws {

std::optional<std::u16string> EnvironmentValue(const char* name);

}  // namespace vorlabws
