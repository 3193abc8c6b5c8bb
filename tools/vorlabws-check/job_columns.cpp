#include "tools/vorlabws-check/job_columns.h"

#include <algorithm>

#include "couriers/brt/brt_job_updates.h"
#include "couriers/brt/brt_label_request.h"
#include "couriers/brt/brt_routing_request.h"
#include "couriers/brt/brt_template_label.h"
#include "couriers/dhl/dhl_job.h"
#include "couriers/dhl/dhl_label.h"
#include "couriers/dhl/dhl_header_update.h"
#include "couriers/dhl/dhl_reply.h"
#include "couriers/dhl/dhl_request.h"
#include "couriers/dhl/manifest_records.h"
#include "db/firebird.h"

namespace vorlabws::check {
namespace {

const std::u16string kVorlabt = u"VORLABT";
const std::u16string kVorlabr = u"VORLABR";
const std::u16string kManifestt = u"MANIFESTT";
const std::u16string kManifestr = u"MANIFESTR";

// Answers every column with a value each reader accepts ("0" reads as text, as an integer, as a
// regional number and as month and day) and notes the column and how it was read.
class ColumnRecorder : public ColumnReader {
 public:
  std::u16string Text(const std::u16string& column) const override {
    reads_.push_back({column, ReadAs::kText});
    return u"0";
  }
  int32_t Integer(const std::u16string& column) const override {
    reads_.push_back({column, ReadAs::kInteger});
    return 0;
  }
  struct Read {
    std::u16string column;
    ReadAs as;
  };
  const std::vector<Read>& reads() const { return reads_; }

 private:
  mutable std::vector<Read> reads_;
};

class NeedList {
 public:
  explicit NeedList(std::u16string job) : job_(std::move(job)) {}
  void SetJob(std::u16string job) { job_ = std::move(job); }

  void Read(const ColumnRecorder& recorder, const std::vector<std::u16string>& tables) {
    for (const ColumnRecorder::Read& read : recorder.reads()) {
      ColumnNeed& need = Find(read.column, tables);
      // A column one job reads as an integer must hold one, whatever the others read it as.
      if (read.as == ReadAs::kInteger) {
        need.read_as = read.as;
        if (std::find(need.integer_jobs.begin(), need.integer_jobs.end(), job_) ==
            need.integer_jobs.end()) {
          need.integer_jobs.push_back(job_);
        }
      }
      need.read = true;
    }
  }
  void Read(const std::u16string& column, const std::vector<std::u16string>& tables) {
    ColumnNeed& need = Find(column, tables);
    need.read = true;
  }
  // The columns the loaded UPDATE sets, in the table it names.
  void Written(const SqlText& statement);
  void Written(const std::u16string& table, const std::u16string& column) {
    Find(column, {table}).written = true;
  }

  std::vector<ColumnNeed> Take() { return std::move(needs_); }

 private:
  ColumnNeed& Find(const std::u16string& column, const std::vector<std::u16string>& tables) {
    auto found = std::find_if(needs_.begin(), needs_.end(), [&](const ColumnNeed& need) {
      return need.column == column && need.tables == tables;
    });
    if (found == needs_.end()) {
      needs_.push_back({.column = column, .tables = tables, .jobs = {}, .integer_jobs = {}});
      found = needs_.end() - 1;
    }
    if (std::find(found->jobs.begin(), found->jobs.end(), job_) == found->jobs.end()) {
      found->jobs.push_back(job_);
    }
    return *found;
  }

  std::u16string job_;
  std::vector<ColumnNeed> needs_;
};

bool IsIdentifierCharacter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
         c == u'_';
}

// "UPDATE <table> SET <column>=<value>, ... WHERE ...": the assignments before the WHERE, quoted
// values skipped. The stand-in values hold no " WHERE ".
void NeedList::Written(const SqlText& statement) {
  const std::u16string text = statement.Text();
  const std::u16string head = u"UPDATE ";
  const size_t table_end = text.find(u' ', head.size());
  const std::u16string table = text.substr(head.size(), table_end - head.size());
  const size_t set = text.find(u"SET", table_end) + 3;
  const size_t where = text.rfind(u" WHERE ");
  bool quoted = false;
  for (size_t i = set; i < where; ++i) {
    if (text[i] == u'\'') quoted = !quoted;
    if (quoted || text[i] != u'=') continue;
    size_t start = i;
    while (start > set && IsIdentifierCharacter(text[start - 1])) --start;
    Written(table, text.substr(start, i - start));
  }
}

// The worker's statements are loaded into a query that is never opened.
struct UnopenedQuery {
  IBDatabase database;
  IBTransaction transaction{database};
  IBQuery query{database, transaction};
};

void BrtLabelNeeds(NeedList& needs) {
  const std::vector<std::u16string> joined = {kVorlabt, kVorlabr};
  needs.Read(u"TRASPORTATORE", joined);
  ColumnRecorder row;
  const RoutingJob job = ReadRoutingJob(row);
  const DestinationAddressOut2 reply;
  JobLabelRequest(row, job.Request, reply);
  needs.Read(row, joined);
  UnopenedQuery statements;
  LoadBrtHeaderUpdate(statements.query, reply, u"0");
  needs.Written(statements.query.SQL);
  LoadBrtRowUpdate(statements.query, u"", u"", u"0", u"0");
  needs.Written(statements.query.SQL);
  needs.Written(kVorlabr, u"ESITO");
}

void DhlLabelNeeds(NeedList& needs) {
  const std::vector<std::u16string> joined = {kVorlabt, kVorlabr};
  needs.Read(u"TRASPORTATORE", joined);
  ColumnRecorder row;
  FillRequest(u"", row);
  FillLabel(u"", row);
  needs.Read(row, joined);
  UnopenedQuery statements;
  LoadHeaderUpdate(statements.query, DhlRouting{}, u"0");
  needs.Written(statements.query.SQL);
  LoadRowUpdate(statements.query, DhlLabels{}, u"0", u"0");
  needs.Written(statements.query.SQL);
  needs.Written(kVorlabr, u"ESITO");
}

void ManifestNeeds(NeedList& needs) {
  // The joined manifest row: its courier, the shipments it names and the header's ID.
  const std::vector<std::u16string> joined = {kManifestt, kManifestr};
  needs.Read(u"TRASPORTATORE", joined);
  needs.Read(u"TESTATASPEDIZIONE", joined);
  needs.Read(u"ID", {kManifestt});
  needs.Read(u"TESTATA", {kManifestr});
  ColumnRecorder shipment;
  std::u16string text;
  AppendShipmentRecord(text, shipment);
  AppendCourierReportLine(text, shipment);
  needs.Read(shipment, {kVorlabt});
  ColumnRecorder parcel;
  AppendParcelRecord(text, parcel);
  needs.Read(parcel, {kVorlabr});
  needs.Written(kManifestt, u"MANIFEST");
  needs.Written(kManifestt, u"COURIERREPORT");
  needs.Written(kManifestt, u"ESITO");
}

std::vector<std::u16string> Names(const std::vector<Placeholder>& placeholders) {
  std::vector<std::u16string> names;
  for (const Placeholder& placeholder : placeholders) names.emplace_back(placeholder.name);
  return names;
}

}  // namespace

std::vector<ColumnNeed> JobColumnNeeds() {
  NeedList needs(u"BRT label");
  BrtLabelNeeds(needs);
  needs.SetJob(u"DHL label");
  DhlLabelNeeds(needs);
  needs.SetJob(u"DHL manifest");
  ManifestNeeds(needs);
  return needs.Take();
}

std::vector<TemplatePlaceholders> TemplatePlaceholderLists() {
  ColumnRecorder row;
  RoutingJob job = ReadRoutingJob(row);
  // "D" is the service type whose box is filled (empty): every placeholder of the label appears.
  job.Request.SetTipoServizioBolle(u"D");
  const std::vector<std::u16string> brt =
      Names(TemplateLabelPlaceholders(job, DestinationAddressOut2{}));
  const DhlJobFiles files(u"", u"0", u"0");
  return {{std::u16string(kBrtLabelTemplate), brt},
          {files.request_template, Names(RequestPlaceholders(row))},
          {files.label_template, Names(LabelPlaceholders(row))}};
}

}  // namespace vorlabws::check
