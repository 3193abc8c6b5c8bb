#include "tools/vorlabws-check/findings.h"

#include <algorithm>
#include <cstdio>

#include "platform/code_page.h"

namespace vorlabws::check {
namespace {

const char* VerdictText(Verdict verdict) {
  switch (verdict) {
    case Verdict::kOk:
      return "ok";
    case Verdict::kWarn:
      return "warn";
    case Verdict::kFail:
      return "FAIL";
  }
  return "";
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

bool Failed(const Finding& finding) { return finding.verdict == Verdict::kFail; }

}  // namespace

std::string FindingsTable(const Findings& findings) {
  std::string table;
  for (const Finding& finding : findings) {
    std::string verdict = VerdictText(finding.verdict);
    verdict.resize(6, ' ');
    table += verdict + Utf16ToUtf8(finding.subject) + "\n";
    if (!finding.advice.empty()) table += "      " + Utf16ToUtf8(finding.advice) + "\n";
  }
  return table;
}

std::string FindingsJson(const Findings& findings, const std::string& version) {
  std::string json = "{\"version\": " + JsonString(version) + ", \"failed\": ";
  json += std::any_of(findings.begin(), findings.end(), Failed) ? "true" : "false";
  json += ", \"findings\": [";
  for (size_t i = 0; i < findings.size(); ++i) {
    if (i > 0) json += ", ";
    json += "{\"verdict\": " + JsonString(VerdictText(findings[i].verdict)) +
            ", \"subject\": " + JsonString(Utf16ToUtf8(findings[i].subject)) +
            ", \"advice\": " + JsonString(Utf16ToUtf8(findings[i].advice)) + "}";
  }
  return json + "]}\n";
}

int FindingsExitCode(const Findings& findings) {
  return std::any_of(findings.begin(), findings.end(), Failed) ? 1 : 0;
}

}  // namespace vorlabws::check
