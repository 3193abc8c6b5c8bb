// The findings of a site check, one line each, and the two forms they are given in: a plain table
// for a terminal or an e-mail, and one JSON document for scripts.
#pragma once

#include <string>
#include <vector>

namespace vorlabws::check {

enum class Verdict { kOk, kWarn, kFail };

struct Finding {
  Verdict verdict;
  std::u16string subject;
  std::u16string advice;  // for anything not ok: what is wrong and how to mend it
};
using Findings = std::vector<Finding>;

// "ok  ", "warn" or "FAIL", the subject, and the advice on the line below, indented (UTF-8).
std::string FindingsTable(const Findings& findings);
// {"version": ..., "failed": ..., "findings": [{"verdict", "subject", "advice"}, ...]} (UTF-8).
std::string FindingsJson(const Findings& findings, const std::string& version);
// 1 when any finding failed, else 0.
int FindingsExitCode(const Findings& findings);

}  // namespace vorlabws::check
