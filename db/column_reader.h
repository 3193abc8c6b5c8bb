// A row's columns read by name, as text or as an integer: the job query's current row when a job
// runs, or anything else that answers for a job's columns without running it.
#pragma once

#include <cstdint>
#include <string>

namespace vorlabws {

class ColumnReader {
 public:
  // A NULL reads as the empty text; a missing column raises.
  virtual std::u16string Text(const std::u16string& column) const = 0;
  // Raises for a missing column or a value that is not an integer.
  virtual int32_t Integer(const std::u16string& column) const = 0;

 protected:
  ~ColumnReader() = default;
};

}  // namespace vorlabws
