// The process environment: installation overrides read at run time (service addresses, bounds).
// Values are returned as UTF-16 texts; an unset variable and an empty one both read as absent.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace vorlabws {

std::optional<std::u16string> EnvironmentValue(const char* name);

// A time limit in whole seconds (1 to 999999); absent when the variable is unset or empty. Any
// other text raises a Failure: "<name> '<text>' is not a number of seconds".
std::optional<std::chrono::seconds> EnvironmentSeconds(const char* name);

}  // namespace vorlabws
