// Settings files such as dati.ini, read and written the way Windows' private-profile functions do,
// so that files written on Windows read the same here and files written here read on Windows.
// A TIniFile names one file; every call reads the file afresh and keeps nothing open.
#pragma once

#include <string>

#include "platform/failure.h"

namespace vorlabws {

// The settings file could not be written; the message is "Unable to write to " + the file name.
class IniFileError : public FileError {
 public:
  using FileError::FileError;
};

class TIniFile {
 public:
  // `FileName` is used as given: a name without a folder is in the working folder.
  explicit TIniFile(std::u16string FileName) : FileName_(std::move(FileName)) {}

  const std::u16string& FileName() const { return FileName_; }

  // The value of the first key `Ident` in the first section `Section` (names compared without
  // regard to case), with blanks around it and one pair of matching quotes removed, cut to 2047
  // characters. A missing file, section or key gives the empty text.
  std::u16string ReadString(const std::u16string& Section, const std::u16string& Ident) const;

  // Sets the key, keeping every other line: an existing key is rewritten in place, a new key goes
  // after the section's last key, a missing section is appended at the end, a missing file is
  // created. Raises IniFileError when the file cannot be written.
  void WriteString(const std::u16string& Section, const std::u16string& Ident,
                   const std::u16string& Value);

 private:
  std::u16string FileName_;
};

}  // namespace vorlabws
