// Writes the plan a floor program runs (bench/floor): one step a line, fields separated by tabs,
// long fields in files of their own under the plan's folder. Statements are written in the bytes
// the worker sends: the server text with "?" for each parameter, each parameter a blob file.
#pragma once

#include <string>
#include <vector>

#include "db/firebird.h"

namespace vorlabws::bench {

class FloorPlanWriter {
 public:
  // The plan goes to `folder` + "floor.plan", its files beside it.
  explicit FloorPlanWriter(std::string folder) : folder_(std::move(folder)) {}

  void Step(const std::string& kind, const std::vector<std::string>& fields);
  // "@" + the path of a new file holding `bytes`, to stand for them in a step.
  std::string File(const std::string& bytes);
  // A "select" or "update" step for the statement as the worker would send it.
  void Statement(const std::string& kind, const SqlText& sql);
  // Writes the plan; returns its path.
  std::string Write() const;

 private:
  std::string folder_;
  std::string plan_;
  int files_ = 0;
};

}  // namespace vorlabws::bench
