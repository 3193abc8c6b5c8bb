#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "jobs/outcomes.h"
#include "platform/code_page.h"
#include "platform/text.h"
#include "tools/vorlabws-check/job_columns.h"
#include "tools/vorlabws-check/site_checks.h"

namespace vorlabws::check {
namespace {

// A column as the database describes it (RDB$FIELDS).
struct ColumnType {
  int type = 0;      // RDB$FIELD_TYPE
  int sub_type = 0;  // for blobs: 1 is text
  int length = 0;    // characters, for CHAR and VARCHAR
  int scale = 0;
};

enum FieldType {
  kSmallint = 7,
  kInteger = 8,
  kFloat = 10,
  kDate = 12,
  kTime = 13,
  kChar = 14,
  kBigint = 16,
  kBoolean = 23,
  kDouble = 27,
  kTimestamp = 35,
  kVarchar = 37,
  kBlob = 261,
};

using Layout = std::map<std::pair<std::u16string, std::u16string>, ColumnType>;

const std::u16string kTables[] = {u"VORLABT", u"VORLABR", u"MANIFESTT", u"MANIFESTR"};
// Labels and manifests run to many thousands of characters.
const std::u16string kLongTextColumns[] = {u"REPORT_ETICHETTA", u"REPORT_ARCHIVIO",
                                           u"REPORT_CUSTOM", u"MANIFEST", u"COURIERREPORT"};

Layout ReadLayout(IBQuery& query) {
  query.SQL.Add(
      u"SELECT TRIM(RF.RDB$RELATION_NAME) AS TABLE_NAME, TRIM(RF.RDB$FIELD_NAME) AS COLUMN_NAME,"
      u" F.RDB$FIELD_TYPE AS FIELD_TYPE, COALESCE(F.RDB$FIELD_SUB_TYPE, 0) AS SUB_TYPE,"
      u" COALESCE(F.RDB$CHARACTER_LENGTH, 0) AS CHARACTERS, COALESCE(F.RDB$FIELD_SCALE, 0) AS SCALE"
      u" FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE"
      u" WHERE RF.RDB$RELATION_NAME IN ('VORLABT', 'VORLABR', 'MANIFESTT', 'MANIFESTR')");
  Layout layout;
  for (query.Open(); !query.Eof(); query.Next()) {
    layout[{query.Text(u"TABLE_NAME"), query.Text(u"COLUMN_NAME")}] = {
        query.Integer(u"FIELD_TYPE"), query.Integer(u"SUB_TYPE"), query.Integer(u"CHARACTERS"),
        query.Integer(u"SCALE")};
  }
  query.Close();
  return layout;
}

std::u16string DatabaseCharacterSet(IBQuery& query) {
  query.SQL.Clear();
  query.SQL.Add(
      u"SELECT TRIM(COALESCE(RDB$CHARACTER_SET_NAME, 'NONE')) AS CHARSET FROM RDB$DATABASE");
  query.Open();
  const std::u16string name = query.Text(u"CHARSET");
  query.Close();
  return name;
}

bool IsText(const ColumnType& type) { return type.type == kChar || type.type == kVarchar; }
bool IsTextBlob(const ColumnType& type) { return type.type == kBlob && type.sub_type == 1; }
bool IsWholeNumber(const ColumnType& type) {
  return (type.type == kSmallint || type.type == kInteger || type.type == kBigint) &&
         type.scale == 0;
}

std::u16string Join(const std::vector<std::u16string>& items, const std::u16string& between) {
  std::u16string joined;
  for (const std::u16string& item : items) joined += (joined.empty() ? u"" : between) + item;
  return joined;
}

size_t LongestFixedOutcome() {
  size_t longest = 0;
  for (const std::u16string_view outcome : kFixedOutcomes)
    longest = std::max(longest, outcome.size());
  return longest;
}

// "The BRT label job", "The BRT label and DHL label jobs": each opens its sentence of advice.
std::u16string JobNames(const std::vector<std::u16string>& jobs) {
  return u"The " + Join(jobs, u" and ") + (jobs.size() > 1 ? u" jobs" : u" job");
}

std::u16string ReadsAsInteger(const ColumnNeed& need) {
  return JobNames(need.integer_jobs) + (need.integer_jobs.size() > 1 ? u" read" : u" reads") +
         u" it as an integer";
}

std::u16string Uses(const ColumnNeed& need) {
  const bool several = need.jobs.size() > 1;
  const std::u16string how = need.read && need.written
                                 ? (several ? u" read and write" : u" reads and writes")
                             : need.read ? (several ? u" read" : u" reads")
                                         : (several ? u" write" : u" writes");
  return JobNames(need.jobs) + how + u" it";
}

// A type that serves the column's use; the host's own values decide a text's length.
std::u16string SuggestedType(const ColumnNeed& need) {
  if (need.column == u"ESITO") return u"VARCHAR(1000)";
  if (std::find(std::begin(kLongTextColumns), std::end(kLongTextColumns), need.column) !=
      std::end(kLongTextColumns)) {
    return u"BLOB SUB_TYPE TEXT";
  }
  if (need.read_as == ReadAs::kInteger) return u"INTEGER";
  return u"VARCHAR(...)";
}

// What is wrong with the column's type for its use, or nothing.
// `coded`: a job writes its own codes into the column, so it rightly holds text.
std::optional<Finding> TypeFinding(const std::u16string& name, const ColumnNeed& need,
                                   const ColumnType& type, bool coded) {
  if (need.column == u"ESITO") {
    const size_t longest = LongestFixedOutcome();
    if (IsTextBlob(type)) return std::nullopt;
    if (!IsText(type) || static_cast<size_t>(type.length) < longest) {
      return Finding{Verdict::kFail, name + u": too short for the outcome texts",
                     u"It must hold " + IntToText(static_cast<int64_t>(longest)) +
                         u" characters (\"" + std::u16string(kErroreComunicazioneBrt) +
                         u"\"): ALTER TABLE " + need.tables.front() +
                         u" ALTER ESITO TYPE VARCHAR(1000)"};
    }
    return Finding{Verdict::kWarn, name + u": holds " + IntToText(type.length) + u" characters",
                   u"Enough for every fixed outcome; a courier's own message (\"003 - Errore "
                   u"CODE: DESCRIPTION\") can be longer and is then not stored."};
  }
  if (std::find(std::begin(kLongTextColumns), std::end(kLongTextColumns), need.column) !=
      std::end(kLongTextColumns)) {
    if (IsTextBlob(type)) return std::nullopt;
    if (IsText(type)) {
      return Finding{Verdict::kWarn, name + u": holds " + IntToText(type.length) + u" characters",
                     u"Longer texts are not stored; a text blob holds any: BLOB SUB_TYPE TEXT."};
    }
    return Finding{Verdict::kFail, name + u": cannot hold a text",
                   u"Make it a text blob: BLOB SUB_TYPE TEXT."};
  }
  if (need.read && need.read_as == ReadAs::kInteger) {
    if (IsWholeNumber(type)) return std::nullopt;
    if (IsText(type) && coded) return std::nullopt;
    if (IsText(type)) {
      return Finding{Verdict::kWarn, name + u": text, read as a number",
                     ReadsAsInteger(need) + u": every value must be decimal digits."};
    }
    if (type.type == kBlob || type.type == kDate || type.type == kTime || type.type == kTimestamp ||
        type.type == kBoolean) {
      return Finding{Verdict::kFail, name + u": not a number",
                     ReadsAsInteger(need) + u"; make it INTEGER."};
    }
    return Finding{Verdict::kWarn, name + u": decimal, read as an integer",
                   ReadsAsInteger(need) + u": a value with decimals fails the job."};
  }
  return std::nullopt;
}

}  // namespace

Findings CheckJobTables(IBDatabase& database) {
  IBTransaction transaction(database);
  IBQuery query(database, transaction);
  const Layout layout = ReadLayout(query);
  Findings findings;
  findings.push_back(
      {Verdict::kOk,
       u"connection character set WIN1252, database default " + DatabaseCharacterSet(query), u""});
  transaction.Rollback();

  std::set<std::u16string> missing_tables;
  std::set<std::u16string> failing_tables;
  for (const std::u16string& table : kTables) {
    const bool present = std::any_of(layout.begin(), layout.end(),
                                     [&](const auto& entry) { return entry.first.first == table; });
    if (!present) {
      findings.push_back({Verdict::kFail, table + u": missing",
                          u"The host's job tables belong in this database; is it the right one?"});
      missing_tables.insert(table);
    }
  }
  const std::vector<ColumnNeed> needs = JobColumnNeeds();
  std::set<std::u16string> written;
  for (const ColumnNeed& need : needs) {
    if (need.written) written.insert(need.column);
  }
  for (const ColumnNeed& need : needs) {
    const auto found = std::find_if(need.tables.begin(), need.tables.end(), [&](const auto& t) {
      return layout.count({t, need.column}) > 0;
    });
    const std::u16string where = need.tables.size() == 1
                                     ? need.tables.front() + u"." + need.column
                                     : need.column + u" (" + Join(need.tables, u" or ") + u")";
    if (found == need.tables.end()) {
      if (std::all_of(need.tables.begin(), need.tables.end(),
                      [&](const auto& t) { return missing_tables.count(t) > 0; })) {
        continue;  // the table itself is missing, said above
      }
      findings.push_back({Verdict::kFail, where + u": missing",
                          Uses(need) + u": add it, e.g. ALTER TABLE " + need.tables.front() +
                              u" ADD " + need.column + u" " + SuggestedType(need)});
      failing_tables.insert(need.tables.begin(), need.tables.end());
      continue;
    }
    if (auto finding =
            TypeFinding(*found + u"." + need.column, need, layout.at({*found, need.column}),
                        written.count(need.column) > 0)) {
      if (finding->verdict == Verdict::kFail) failing_tables.insert(*found);
      findings.push_back(std::move(*finding));
    }
  }
  for (const std::u16string& table : kTables) {
    if (missing_tables.count(table) == 0 && failing_tables.count(table) == 0) {
      findings.push_back({Verdict::kOk, table + u": every column the jobs use is there", u""});
    }
  }
  return findings;
}

}  // namespace vorlabws::check
