// Jobs that meet on one shipment: two parcels of it labelled at the same moment, and the host's own
// transaction changing the shipment while a label job runs. A job's one transaction keeps the
// snapshot of its SELECT, so its UPDATE of a row that another transaction changed and committed
// meanwhile fails as a conflict, after waiting for that transaction to end when it is still open.
// The job that meets one ends with the failure outcome of that update, never with success for
// what it did not store. The runs print what each parcel's job ended with.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <thread>

#include "db/firebird.h"
#include "platform/code_page.h"
#include "tests/load/load_site.h"

namespace vorlabws::testing {
namespace {

const std::u16string kHeaderFailed = u"003 - Errore durante l\u00B4aggiornamento della testata";
const std::u16string kRowFailed = u"003 - Errore durante l\u00B4aggiornamento della riga";

const char* CourierName(Courier courier) { return courier == Courier::kBrt ? "BRT" : "DHL"; }

// What the job of a parcel leaves when its header update lost to another transaction's: a BRT job
// goes on to store its labels, a DHL job stops before its label.
ExpectedJob LostHeaderUpdate(const Shipment& shipment, int riga) {
  ExpectedJob expected = ExpectedLabelJob(shipment, riga);
  expected.exit_code = 3;
  expected.esito = kHeaderFailed;
  if (shipment.courier == Courier::kDhl) {
    for (auto& [column, text] : expected.row) text.clear();
  }
  return expected;
}

ExpectedJob WithUnroutedHeader(ExpectedJob expected) {
  for (auto& [column, text] : expected.header) text.clear();
  return expected;
}

// How the job of a parcel ended, for the test's output.
std::string Ended(const WorkerRun& run, const StoredJobs& stored, int testata, int riga) {
  if (!stored.HasRow(testata, riga)) return "exit " + std::to_string(run.exit_code) + ", row gone";
  return "exit " + std::to_string(run.exit_code) + ", " +
         Utf16ToUtf8(stored.Row(testata, riga, "ESITO")) +
         (stored.Row(testata, riga, "REPORT_CUSTOM").empty() ? ", no labels" : ", labels stored");
}

// Holds the jobs of both parcels of the shipment to what `expected` says for a job that completed
// (exit code 0) or not, prints how each ended after `title`, and returns how many completed.
int ExpectBothParcels(const std::string& title, const JobDatabase& database,
                      const PoolReport& report, const Shipment& shipment,
                      const std::function<ExpectedJob(int riga, bool completed)>& expected) {
  const StoredJobs stored(database);
  int completed = 0;
  std::cout << "[same shipment] " << title;
  for (int riga = 1; riga <= 2; ++riga) {
    const WorkerRun& ended = report.runs[riga - 1].run;
    completed += ended.exit_code == 0;
    ExpectLabelJobEnded(ended, stored, shipment.testata, riga,
                        expected(riga, ended.exit_code == 0));
    std::cout << "; parcel " << riga << ": " << Ended(ended, stored, shipment.testata, riga);
  }
  std::cout << "\n";
  return completed;
}

// The host application's own transaction on the job tables, open while workers run: the rows it
// changed stay locked until it commits or rolls back. Rolled back if still open when it goes.
class HostTransaction {
 public:
  HostTransaction(const JobDatabase& database, const std::vector<std::string>& statements) {
    database_.DatabaseName = Utf8ToUtf16(database.connection());
    database_.Params = {u"user_name=SYSDBA", u"password=ambertide"};
    for (const std::string& statement : statements) Run(statement).ExecSQL();
    IBQuery& query = Run("SELECT CURRENT_TRANSACTION AS NUMBER FROM RDB$DATABASE");
    query.Open();
    number_ = Utf16ToUtf8(query.FieldByName(u"NUMBER").AsString());
    query.Close();
  }
  ~HostTransaction() { transaction_.Rollback(); }

  // Its number, as the server names it in a conflict.
  const std::string& number() const { return number_; }
  void Commit() {
    transaction_.CommitRetaining();
    transaction_.Rollback();
  }
  void RollBack() { transaction_.Rollback(); }

 private:
  IBQuery& Run(const std::string& statement) {
    query_.Close();
    query_.SQL.Clear();
    query_.SQL.Add(Utf8ToUtf16(statement));
    return query_;
  }

  IBDatabase database_;
  IBTransaction transaction_{database_};
  IBQuery query_{database_, transaction_};
  std::string number_;
};

// Waits until `count` statements updating `table` run on the server: a worker's UPDATE of a row
// that another transaction holds runs until that transaction ends. False after a minute.
bool WaitForUpdatesOf(const JobDatabase& database, const std::string& table, int count) {
  const std::string running =
      "SELECT 1 FROM MON$STATEMENTS WHERE MON$STATE = 1 AND MON$SQL_TEXT STARTING WITH 'UPDATE " +
      table + "'";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (database.Count(running) < count) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// Both parcels' jobs started together, several times over: which of the two header updates comes
// second is up to the machine. A job whose header update comes after the other's commit ends with
// the header's failure; one that comes before it, or a pair that does not overlap, completes.
TEST(SameShipmentTest, TwoParcelsLabelledAtTheSameMoment) {
  constexpr int kRuns = 5;
  const LoadSite site;
  int testata = 0;
  for (const Courier courier : {Courier::kBrt, Courier::kDhl}) {
    for (int run = 1; run <= kRuns; ++run) {
      const Shipment shipment{courier, ++testata, 0, 2};
      SCOPED_TRACE(std::string(CourierName(courier)) + " run " + std::to_string(run));
      AddShipment(site.database(), shipment);

      WorkerPool pool =
          site.StartWorkers({site.LabelJob(testata, 1), site.LabelJob(testata, 2)}, 2);
      const PoolReport report = pool.Wait();

      const int completed = ExpectBothParcels(
          std::string(CourierName(courier)) + " run " + std::to_string(run), site.database(),
          report, shipment, [&](int riga, bool complete) {
            return complete ? ExpectedLabelJob(shipment, riga) : LostHeaderUpdate(shipment, riga);
          });
      EXPECT_GE(completed, 1);
    }
  }
}

// Both parcels' header updates wait for the host's transaction, which holds the header. When it
// rolls back, one job gets the header and the other meets its commit; when it commits, both meet
// the host's change and neither routes the header.
TEST(SameShipmentTest, HeaderUpdatesWaitingForTheHost) {
  struct Row {
    const char* name;
    Courier courier;
    bool host_commits;
  };
  const Row rows[] = {
      {"BRT, the host rolls back", Courier::kBrt, false},
      {"BRT, the host commits", Courier::kBrt, true},
      {"DHL, the host rolls back", Courier::kDhl, false},
      {"DHL, the host commits", Courier::kDhl, true},
  };
  const LoadSite site;
  int testata = 100;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Shipment shipment{row.courier, ++testata, 0, 2};
    AddShipment(site.database(), shipment);
    HostTransaction host(
        site.database(),
        {"UPDATE VORLABT SET MITT_TELEFONO='011 000000' WHERE ID=" + std::to_string(testata)});

    WorkerPool pool = site.StartWorkers({site.LabelJob(testata, 1), site.LabelJob(testata, 2)}, 2);
    EXPECT_TRUE(WaitForUpdatesOf(site.database(), "VORLABT", 2));
    row.host_commits ? host.Commit() : host.RollBack();
    const PoolReport report = pool.Wait();

    const int completed = ExpectBothParcels(
        row.name, site.database(), report, shipment, [&](int riga, bool complete) {
          const ExpectedJob lost = LostHeaderUpdate(shipment, riga);
          if (row.host_commits) return WithUnroutedHeader(lost);
          return complete ? ExpectedLabelJob(shipment, riga) : lost;
        });
    EXPECT_EQ(completed, row.host_commits ? 0 : 1);
  }
}

// The host removes the parcel, or the whole shipment, while its label job runs: the job's UPDATE of
// the removed row waits for the host's transaction and then meets the removal as a conflict, never
// as an UPDATE of no row passed off as done. Its outcome cannot be stored in the removed row: the
// job says so on its box and ends with the outcome's exit code.
TEST(SameShipmentTest, ShipmentRemovedWhileItsJobRuns) {
  struct Row {
    const char* name;
    Courier courier;
    bool whole_shipment;
    const char* waiting_table;  // of the UPDATE that meets the removal first
    std::u16string outcome;
  };
  const Row rows[] = {
      {"BRT, the parcel removed", Courier::kBrt, false, "VORLABR", kRowFailed},
      // Both of its updates meet the removal; the row's failure is the one it reports.
      {"BRT, the shipment removed", Courier::kBrt, true, "VORLABT", kRowFailed},
      {"DHL, the parcel removed", Courier::kDhl, false, "VORLABR", kRowFailed},
      {"DHL, the shipment removed", Courier::kDhl, true, "VORLABT", kHeaderFailed},
  };
  const LoadSite site;
  int testata = 200;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Shipment shipment{row.courier, ++testata, 0, 1};
    AddShipment(site.database(), shipment);
    const std::string id = std::to_string(testata);
    std::vector<std::string> removal = {"DELETE FROM VORLABR WHERE TESTATA=" + id + " AND RIGA=1"};
    if (row.whole_shipment) removal.push_back("DELETE FROM VORLABT WHERE ID=" + id);
    HostTransaction host(site.database(), removal);

    WorkerPool pool = site.StartWorkers({site.LabelJob(testata, 1)}, 1);
    EXPECT_TRUE(WaitForUpdatesOf(site.database(), row.waiting_table, 1));
    host.Commit();
    const WorkerRun ended = pool.Wait().runs.front().run;

    EXPECT_EQ(ended.exit_code, 3);
    EXPECT_EQ(ended.standard_output, "");
    EXPECT_EQ(ended.standard_error,
              "Impossibile aggiornare l'esito dell'elaborazione. deadlock; update conflicts with "
              "concurrent update; concurrent transaction number is " +
                  host.number() + " [SQL: UPDATE VORLABR SET ESITO='" + Utf16ToUtf8(row.outcome) +
                  "' WHERE TESTATA=" + id + " AND RIGA=1]\n");
    const StoredJobs stored(site.database());
    EXPECT_FALSE(stored.HasRow(testata, 1));
    EXPECT_EQ(stored.HasHeader(testata), !row.whole_shipment);
    if (!row.whole_shipment) {
      for (const auto& [column, text] : ExpectedLabelJob(shipment, 1).header) {
        SCOPED_TRACE(column);
        EXPECT_EQ(stored.Header(testata, column), text);
      }
    }
    std::cout << "[same shipment] " << row.name << ": exit " << ended.exit_code << ", "
              << ended.standard_error;
  }
}

}  // namespace
}  // namespace vorlabws::testing
