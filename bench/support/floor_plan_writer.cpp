#include "bench/support/floor_plan_writer.h"

#include "platform/code_page.h"
#include "platform/files.h"

namespace vorlabws::bench {

void FloorPlanWriter::Step(const std::string& kind, const std::vector<std::string>& fields) {
  plan_ += kind;
  for (const std::string& field : fields) plan_ += "\t" + field;
  plan_ += "\n";
}

std::string FloorPlanWriter::File(const std::string& bytes) {
  const std::string path = folder_ + "floor_" + std::to_string(++files_) + ".bin";
  WriteFileBytes(Utf8ToUtf16(path), bytes);
  return "@" + path;
}

void FloorPlanWriter::Statement(const std::string& kind, const SqlText& sql) {
  std::vector<std::string> fields{File(Utf16ToCp1252(sql.ServerText()))};
  for (const std::u16string& value : sql.ParameterValues()) {
    fields.push_back(File(Utf16ToCp1252(value)));
  }
  Step(kind, fields);
}

std::string FloorPlanWriter::Write() const {
  const std::string path = folder_ + "floor.plan";
  WriteFileBytes(Utf8ToUtf16(path), plan_);
  return path;
}

}  // namespace vorlabws::bench
