// What each job reads and writes in the job tables and which placeholders it fills, found by
// running the worker's own readers and statement builders on a stand-in row: the check and the
// worker cannot disagree. Nothing here touches a database.
#pragma once

#include <string>
#include <vector>

namespace vorlabws::check {

enum class ReadAs { kText, kInteger };

// One column a job needs. `tables` lists where it may stand (either for a column read through the
// join); `read` and `written` say how the job uses it.
struct ColumnNeed {
  std::u16string column;
  std::vector<std::u16string> tables;
  bool read = false;
  ReadAs read_as = ReadAs::kText;
  bool written = false;
  std::vector<std::u16string> jobs;          // "BRT label", "DHL label", "DHL manifest"
  std::vector<std::u16string> integer_jobs;  // those of them that read it as an integer
};

// Every column of the three jobs, each once, in the order the jobs first use them.
std::vector<ColumnNeed> JobColumnNeeds();

// One template of the program folder and the placeholders the worker fills in it, in its order.
struct TemplatePlaceholders {
  std::u16string file;  // relative to the program folder
  std::vector<std::u16string> names;
};
std::vector<TemplatePlaceholders> TemplatePlaceholderLists();

}  // namespace vorlabws::check
