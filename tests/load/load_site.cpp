#include "tests/load/load_site.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/code_page.h"

namespace vorlabws::testing {
namespace {

std::u16string RowKey(int testata, int riga) {
  return Utf8ToUtf16(std::to_string(testata) + "/" + std::to_string(riga));
}

}  // namespace

LoadSite::LoadSite()
    : database_(Engine::kServer, folder_.path() + "jobs.fdb"),
      program_(folder_.path() + "program/") {
  program_.InstallRealRelay();
  program_.WriteFile("report/BRT.prn", BrtLoadTemplate());
  program_.WriteFile("report/DHL.prn", DhlLoadTemplate());
}

std::vector<std::string> LoadSite::LabelJob(int testata, int riga) const {
  return {database_.connection(), std::to_string(testata), std::to_string(riga)};
}

std::vector<std::string> LoadSite::ManifestJob(int id) const {
  return {database_.connection(), std::to_string(id), "0", "MANIFEST"};
}

WorkerPool LoadSite::StartWorkers(
    std::vector<std::vector<std::string>> jobs, size_t size,
    const std::vector<std::pair<std::string, std::string>>& environment) const {
  StartOptions options;
  // A relay's exchange may wait its turn behind twenty workers on two cores: a generous bound.
  options.environment = {{"VORLABWS_BRT_WSDL", Utf16ToUtf8(brt_.WsdlUrl())},
                         {"VORLABWS_DHL_URL", dhl_.address()},
                         {"VORLABWS_DHL_RELAY_TIMEOUT", "300"}};
  options.environment.insert(options.environment.end(), environment.begin(), environment.end());
  return WorkerPool(program_.path() + "VorlabWS", std::move(jobs), size, options);
}

const std::vector<std::u16string>& StoredJobs::Keys(Table& table) const {
  if (table.keys.empty()) table.keys = database_.Column(table.select, "JOBKEY");
  return table.keys;
}

std::u16string StoredJobs::Value(Table& table, const std::u16string& key,
                                 const std::string& column) const {
  auto [values, unread] = table.columns.try_emplace(column);
  if (unread) {
    const std::vector<std::u16string> texts = database_.Column(table.select, column);
    const std::vector<std::u16string>& keys = Keys(table);
    for (size_t i = 0; i < keys.size() && i < texts.size(); ++i) values->second[keys[i]] = texts[i];
  }
  const auto found = values->second.find(key);
  if (found == values->second.end()) {
    ADD_FAILURE() << "no job " << Utf16ToUtf8(key) << " to read " << column << " from";
    return u"";
  }
  return found->second;
}

bool StoredJobs::HasHeader(int testata) const {
  const std::vector<std::u16string>& keys = Keys(headers_);
  return std::find(keys.begin(), keys.end(), Utf8ToUtf16(std::to_string(testata))) != keys.end();
}

bool StoredJobs::HasRow(int testata, int riga) const {
  const std::vector<std::u16string>& keys = Keys(rows_);
  return std::find(keys.begin(), keys.end(), RowKey(testata, riga)) != keys.end();
}

std::u16string StoredJobs::Header(int testata, const std::string& column) const {
  return Value(headers_, Utf8ToUtf16(std::to_string(testata)), column);
}

std::u16string StoredJobs::Row(int testata, int riga, const std::string& column) const {
  return Value(rows_, RowKey(testata, riga), column);
}

void ExpectLabelJobEnded(const WorkerRun& run, const StoredJobs& stored, int testata, int riga,
                         const ExpectedJob& expected) {
  EXPECT_EQ(run.exit_code, expected.exit_code);
  EXPECT_EQ(run.standard_output, "");
  EXPECT_EQ(run.standard_error, expected.standard_error);
  EXPECT_EQ(stored.Row(testata, riga, "ESITO"), expected.esito);
  for (const auto& [column, text] : expected.header) {
    SCOPED_TRACE(column);
    EXPECT_EQ(stored.Header(testata, column), text);
  }
  for (const auto& [column, text] : expected.row) {
    SCOPED_TRACE(column);
    EXPECT_EQ(stored.Row(testata, riga, column), text);
  }
}

}  // namespace vorlabws::testing
