// How values are written into the job statements: texts between single quotes with every "'"
// turned into "´", identifiers bare, and only after they proved to be decimal integers.
#pragma once

#include <string>

#include "platform/failure.h"

namespace vorlabws {

// An identifier that is not a decimal integer, refused before any statement is built.
class IdentifierError : public Failure {
 public:
  using Failure::Failure;
};

// Every "'" of the text replaced by "´" (U+00B4); nothing else changes, quotes are never doubled.
// Works in place on the text it is given, so a long text handed over with std::move is not copied.
std::u16string SostituisciApici(std::u16string text);

// The text between single quotes, apostrophes replaced.
std::u16string QuotedText(const std::u16string& text);

// The identifier unchanged when it is an optional sign followed by decimal digits; anything else
// raises IdentifierError before it can reach a statement or a file name.
const std::u16string& BareIdentifier(const std::u16string& identifier, const char* what);

}  // namespace vorlabws
