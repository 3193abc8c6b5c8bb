// Twenty workers at once, as a busy host starts them, against the Firebird server: 200 label jobs
// of both couriers to a variety of destinations and, among them, the day's DHL manifest. Every job
// must end with its own outcome and its own rows, nothing lost or mixed up between jobs; the
// manifest must show each shipment's header either before its label job or after it, as its
// snapshot found it. Prints the throughput and the slowest job's wall time.
#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <iostream>

#include "tests/load/load_site.h"

namespace vorlabws::testing {
namespace {

constexpr int kLabelJobs = 200;
constexpr size_t kWorkers = 20;
constexpr int kManifest = 1;

void AddManifest(const JobDatabase& database, int id, const std::vector<Shipment>& shipments) {
  database.Execute("INSERT INTO MANIFESTT (ID, TRASPORTATORE) VALUES (" + std::to_string(id) +
                   ", 'DHL')");
  for (const Shipment& shipment : shipments) {
    database.Execute("INSERT INTO MANIFESTR (TESTATA, TESTATASPEDIZIONE) VALUES (" +
                     std::to_string(id) + ", " + std::to_string(shipment.testata) + ")");
  }
}

std::string Describe(const std::vector<std::string>& arguments) {
  std::string text;
  for (size_t i = 1; i < arguments.size(); ++i) text += (i > 1 ? " " : "") + arguments[i];
  return text;
}

void PrintMeasures(const PoolReport& report, const std::vector<std::vector<std::string>>& jobs) {
  const auto slowest = std::max_element(
      report.runs.begin(), report.runs.end(),
      [](const PooledRun& a, const PooledRun& b) { return a.Seconds() < b.Seconds(); });
  std::vector<double> seconds;
  for (const PooledRun& run : report.runs) seconds.push_back(run.Seconds());
  std::sort(seconds.begin(), seconds.end());
  std::cout << std::fixed << std::setprecision(2) << "[load] " << jobs.size() << " jobs by "
            << kWorkers << " workers at once in " << report.seconds
            << " s: " << jobs.size() / report.seconds << " jobs per second; slowest job "
            << slowest->Seconds() << " s (" << Describe(jobs[slowest - report.runs.begin()])
            << "), median " << seconds[seconds.size() / 2] << " s; " << report.AverageRunning()
            << " workers running on average, " << report.peak << " at most\n";
}

TEST(LoadTest, TwentyWorkersOnTwoHundredLabelJobsAndTheManifest) {
  const LoadSite site;
  std::vector<Shipment> shipments;
  std::vector<Shipment> dhl_shipments;
  for (int i = 0; i < kLabelJobs; ++i) {
    const Courier courier = i % 2 == 0 ? Courier::kBrt : Courier::kDhl;
    shipments.push_back(
        {courier, 1001 + i, static_cast<size_t>(i / 2) % DestinationCount(courier)});
    AddShipment(site.database(), shipments.back());
    if (courier == Courier::kDhl) dhl_shipments.push_back(shipments.back());
  }
  AddManifest(site.database(), kManifest, dhl_shipments);
  // The manifest waits in the middle of the queue, so it runs while label jobs store routing.
  std::vector<std::vector<std::string>> jobs;
  for (const Shipment& shipment : shipments) jobs.push_back(site.LabelJob(shipment.testata, 1));
  const size_t manifest_job = jobs.size() / 2;
  jobs.insert(jobs.begin() + manifest_job, site.ManifestJob(kManifest));

  WorkerPool pool = site.StartWorkers(jobs, kWorkers);
  const PoolReport report = pool.Wait();
  PrintMeasures(report, jobs);
  EXPECT_EQ(report.peak, kWorkers);

  const StoredJobs stored(site.database());
  std::map<int, const PooledRun*> label_runs;
  for (size_t job = 0; job < jobs.size(); ++job) {
    if (job == manifest_job) continue;
    const Shipment& shipment = shipments[job < manifest_job ? job : job - 1];
    SCOPED_TRACE("label job " + Describe(jobs[job]));
    ExpectLabelJobEnded(report.runs[job].run, stored, shipment.testata, 1,
                        ExpectedLabelJob(shipment, 1));
    label_runs[shipment.testata] = &report.runs[job];
  }

  SCOPED_TRACE("manifest");
  const PooledRun& manifest = report.runs[manifest_job];
  EXPECT_EQ(manifest.run.exit_code, 0);
  EXPECT_EQ(manifest.run.standard_output, "");
  EXPECT_EQ(manifest.run.standard_error, "");
  const std::string where = " FROM MANIFESTT WHERE ID=" + std::to_string(kManifest);
  EXPECT_EQ(site.database().Value("SELECT ESITO" + where, "ESITO"), u"000 - Completato");
  const std::u16string stored_manifest =
      site.database().Value("SELECT MANIFEST" + where, "MANIFEST");
  std::u16string expected_manifest = ManifestHeaderRecord();
  std::u16string expected_report = CourierReportTitle();
  int routed = 0, ended_before = 0, began_after = 0;
  for (const Shipment& shipment : dhl_shipments) {
    SCOPED_TRACE("shipment " + std::to_string(shipment.testata));
    // The manifest shows the shipment routed when its snapshot came after the label job's header
    // update: certainly so when the label job ended before the manifest began, certainly not when
    // it began after the manifest ended.
    const ManifestEntry before = ExpectedManifestEntry(shipment, false);
    const bool routable = ExpectedLabelJob(shipment, 1).exit_code == 0;
    const ManifestEntry after = routable ? ExpectedManifestEntry(shipment, true) : before;
    const bool shows_routed =
        routable && stored_manifest.size() >= expected_manifest.size() &&
        stored_manifest.compare(expected_manifest.size(), after.records.size(), after.records) == 0;
    const PooledRun& label = *label_runs[shipment.testata];
    if (routable && label.ended < manifest.started) {
      ++ended_before;
      EXPECT_TRUE(shows_routed);
    }
    if (label.started > manifest.ended) {
      ++began_after;
      EXPECT_FALSE(shows_routed);
    }
    routed += shows_routed;
    expected_manifest += (shows_routed ? after : before).records;
    expected_report += (shows_routed ? after : before).report_line;
  }
  EXPECT_TRUE(SameText(expected_manifest, stored_manifest));
  EXPECT_TRUE(SameText(expected_report,
                       site.database().Value("SELECT COURIERREPORT" + where, "COURIERREPORT")));
  std::cout << "[load] the manifest found " << routed << " of " << dhl_shipments.size()
            << " DHL shipments routed (" << ended_before
            << " routed by label jobs that ended before it began, " << began_after
            << " label jobs began after it ended)\n";
}

}  // namespace
}  // namespace vorlabws::testing
