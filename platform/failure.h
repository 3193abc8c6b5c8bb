// The worker's failure type: every error the system raises itself is a Failure (or derived), so
// the driver can name its type on the failure line. Messages are UTF-8; callers convert at the box.
#pragma once

#include <stdexcept>
#include <string>

namespace vorlabws {

class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text that does not read as a number under the regional format.
class ConvertError : public Failure {
 public:
  using Failure::Failure;
};

// A file that cannot be read or written.
class FileError : public Failure {
 public:
  using Failure::Failure;
};

}  // namespace vorlabws
