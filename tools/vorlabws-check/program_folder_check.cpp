#include "couriers/dhl/dhl_job.h"
#include "jobs/template_text.h"
#include "platform/code_page.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "tools/vorlabws-check/job_columns.h"
#include "tools/vorlabws-check/site_checks.h"

namespace vorlabws::check {
namespace {

std::u16string EncodingName(TextFileEncoding encoding) {
  switch (encoding) {
    case TextFileEncoding::kUtf8Bom:
      return u"UTF-8 (byte-order mark)";
    case TextFileEncoding::kUtf16LeBom:
      return u"UTF-16 LE (byte-order mark)";
    case TextFileEncoding::kUtf16BeBom:
      return u"UTF-16 BE (byte-order mark)";
    case TextFileEncoding::kUtf8:
      return u"UTF-8";
    case TextFileEncoding::kCp1252:
      return u"Windows-1252";
  }
  return u"";
}

std::u16string JoinNames(const std::vector<std::u16string>& names) {
  std::u16string joined;
  for (const std::u16string& name : names) joined += (joined.empty() ? u"" : u", ") + name;
  return joined;
}

void CheckExecutable(Findings& findings, const std::u16string& folder, const std::u16string& name) {
  const std::u16string path = folder + name;
  if (!FileExists(path)) {
    findings.push_back(
        {Verdict::kFail, name + u": missing",
         u"Copy " + name + u" from the build's program folder (build/bin/) into " + folder + u"."});
  } else if (!CanAccess(path, FileAccess::kExecute)) {
    findings.push_back({Verdict::kFail, name + u": not executable",
                        u"Make it executable for the worker's user: chmod +x " + path});
  } else {
    findings.push_back({Verdict::kOk, name + u": present and executable", u""});
  }
}

void CheckTemplate(Findings& findings, const std::u16string& folder,
                   const TemplatePlaceholders& expected) {
  const std::u16string path = folder + expected.file;
  if (!FileExists(path)) {
    findings.push_back({Verdict::kFail, expected.file + u": missing",
                        u"Copy " + expected.file + u" from the build's program folder (build/bin/" +
                            expected.file + u") to " + path + u"."});
    return;
  }
  if (!CanAccess(path, FileAccess::kRead)) {
    findings.push_back({Verdict::kFail, expected.file + u": not readable",
                        u"Let the worker's user read it: chmod a+r " + path});
    return;
  }
  std::u16string encoding;
  std::u16string text;
  try {
    const std::string bytes = ReadFileBytes(path);
    encoding = EncodingName(DetectTextFileEncoding(bytes));
    text = ReadTemplateText(path);
  } catch (const Failure& failure) {
    findings.push_back(
        {Verdict::kFail, expected.file + u": cannot be read", Utf8ToUtf16(failure.what())});
    return;
  }
  std::vector<std::u16string> missing;
  for (const std::u16string& name : expected.names) {
    if (text.find(name) == std::u16string::npos) missing.push_back(name);
  }
  findings.push_back({Verdict::kOk, expected.file + u": readable, read as " + encoding, u""});
  if (!missing.empty()) {
    findings.push_back({Verdict::kWarn, expected.file + u": lacks " + JoinNames(missing),
                        u"The worker fills these placeholders; the label or request goes out "
                        u"without their values. Add them if the site needs them."});
  }
}

void CheckWritableFolder(Findings& findings, const std::u16string& path, const std::u16string& name,
                         const std::u16string& role) {
  if (!FileExists(path)) {
    findings.push_back({Verdict::kFail, name + u": missing",
                        u"Create it for the worker's user (" + role + u"): mkdir -p " + path});
  } else if (!CanAccess(path, FileAccess::kWrite)) {
    findings.push_back({Verdict::kFail, name + u": not writable",
                        u"Let the worker's user write it (" + role + u"): chmod u+w " + path +
                            u", or change its owner."});
  } else {
    findings.push_back({Verdict::kOk, name + u": writable", u""});
  }
}

}  // namespace

Findings CheckProgramFolder(const std::u16string& folder) {
  Findings findings = {{Verdict::kOk, u"program folder " + folder, u""}};
  const DhlJobFiles files(folder, u"0", u"0");
  // The worker's own name: the host starts it, beside this tool.
  CheckExecutable(findings, folder, u"VorlabWS");
  CheckExecutable(findings, folder, files.relay.substr(folder.size()));
  for (const TemplatePlaceholders& expected : TemplatePlaceholderLists()) {
    CheckTemplate(findings, folder, expected);
  }
  CheckWritableFolder(findings, files.data_folder, u"data/", u"DHL request files");
  CheckWritableFolder(findings, folder + u"data/out", u"data/out/", u"the relay's replies");
  CheckWritableFolder(findings, folder, u"errore.txt's folder", u"failed DHL statements");
  if (FileExists(files.errore) && !CanAccess(files.errore, FileAccess::kWrite)) {
    findings.push_back({Verdict::kFail, u"errore.txt: not writable",
                        u"Let the worker's user write it: chmod u+w " + files.errore});
  }
  return findings;
}

}  // namespace vorlabws::check
