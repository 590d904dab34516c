// Times the table exports: the same records as a CSV file, through the raw
// writers, and through the driver manager with one INSERT each, as the table
// writer sends them. Not a test; run under /usr/bin/time -v for memory.
//
//   odbc_bench csv|xls-raw|xls-odbc|dbf-raw|dbf-odbc <records> <folder>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/env.h"
#include "base/file_replacement.h"
#include "base/paths.h"
#include "drivers/dbf/dbf_writer.h"
#include "drivers/xls/xls_writer.h"
#include "connections/odbc_connection.h"

namespace {

constexpr int kTexts = 10;
constexpr int kNumbers = 10;

// One record: ten texts of up to 20 characters and ten numbers.
struct Record {
  std::string texts[kTexts];
  long longs[kNumbers / 2];
  double doubles[kNumbers / 2];
};

void MakeRecord(long i, Record* r) {
  char buf[32];
  for (int t = 0; t < kTexts; ++t) {
    std::snprintf(buf, sizeof buf, "%s %ld", t == 3 ? "O'Brien" : "Account", (i * 7 + t) % 100000);
    r->texts[t] = buf;
  }
  for (int n = 0; n < kNumbers / 2; ++n) {
    r->longs[n] = (i * 31 + n) % 2000000;
    r->doubles[n] = static_cast<double>((i * 17 + n) % 1000000) / 100.0;
  }
}

std::string Escape(const std::string& t) {
  std::string out;
  for (char c : t) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

// The column names T0..T9, N0..N9 quoted, each followed by its type word.
std::string Columns(const char* text_type, bool with_types) {
  std::string s;
  char buf[64];
  for (int c = 0; c < kTexts + kNumbers; ++c) {
    bool text = c < kTexts;
    const char* type = !with_types ? "" : text ? text_type : (c - kTexts) % 2 ? " DOUBLE" : " LONG";
    std::snprintf(buf, sizeof buf, "%s'%c%d'%s", c ? "," : "", text ? 'T' : 'N',
                  text ? c : c - kTexts, type);
    s += buf;
  }
  return s;
}

std::string CreateStatement(const std::string& table, bool dbase) {
  std::string s = "CREATE TABLE ";
  s += table;
  s += " (";
  s += Columns(dbase ? " TEXT(20)" : " TEXT", true);
  s += ")";
  return s;
}

std::string NameList() { return Columns("", false); }

std::string ValueList(const Record& r) {
  std::string s;
  char buf[64];
  for (int t = 0; t < kTexts; ++t) {
    s += t ? ",'" : "'";
    s += Escape(r.texts[t]);
    s += "'";
  }
  for (int n = 0; n < kNumbers; ++n) {
    if (n % 2) std::snprintf(buf, sizeof buf, ",%.6f", r.doubles[n / 2]);
    else std::snprintf(buf, sizeof buf, ",%ld", r.longs[n / 2]);
    s += buf;
  }
  return s;
}

int Csv(long records, const std::string& dir) {
  FILE* f = std::fopen((dir + "/bench.csv").c_str(), "w");
  if (!f) return 1;
  Record r;
  for (long i = 0; i < records; ++i) {
    MakeRecord(i, &r);
    for (int t = 0; t < kTexts; ++t) std::fprintf(f, "%s\"%s\"", t ? "," : "", r.texts[t].c_str());
    for (int n = 0; n < kNumbers; ++n) {
      if (n % 2) std::fprintf(f, ",%.6f", r.doubles[n / 2]);
      else std::fprintf(f, ",%ld", r.longs[n / 2]);
    }
    std::fputc('\n', f);
  }
  return std::fclose(f) == 0 ? 0 : 1;
}

int Odbc(long records, const std::string& connection_string, const std::string& table,
         bool dbase) {
  auto c = rh::OpenOdbcConnection(connection_string);
  if (!c.ok()) return std::fprintf(stderr, "%s\n", c.status().ToString().c_str()), 1;
  rh::Status s = (*c)->Execute(CreateStatement(table, dbase));
  std::string prefix = "INSERT INTO ";
  prefix += table;
  prefix += " (";
  prefix += NameList();
  prefix += ") VALUES (";
  Record r;
  for (long i = 0; s.ok() && i < records; ++i) {
    MakeRecord(i, &r);
    std::string statement = prefix;
    statement += ValueList(r);
    statement += ")";
    s = (*c)->Execute(statement);
  }
  rh::Status closed = (*c)->Close();
  if (!s.ok() || !closed.ok())
    return std::fprintf(stderr, "%s %s\n", s.ToString().c_str(), closed.ToString().c_str()), 1;
  return 0;
}

int XlsRaw(long records, const std::string& dir) {
  std::vector<std::string> names;
  for (int c = 0; c < kTexts + kNumbers; ++c)
    names.push_back((c < kTexts ? 'T' : 'N') + std::to_string(c < kTexts ? c : c - kTexts));
  auto w = rh::xls::SheetWriter::Create("KVTdatatool", names);
  std::vector<rh::xls::Cell> cells(kTexts + kNumbers);
  Record r;
  for (long i = 0; i < records; ++i) {
    MakeRecord(i, &r);
    for (int t = 0; t < kTexts; ++t) cells[t] = rh::xls::Cell::Text(r.texts[t]);
    for (int n = 0; n < kNumbers; ++n)
      cells[kTexts + n] = rh::xls::Cell::Number(n % 2 ? r.doubles[n / 2] : r.longs[n / 2]);
    if (!(*w)->AddRow(cells).ok()) return 1;
  }
  auto file = rh::FileReplacement::Begin(rh::Env::Default(), dir + "/raw.xls");
  if (!file.ok() || !(*w)->Write((*file)->file()).ok()) return 1;
  return (*file)->Commit().ok() ? 0 : 1;
}

int DbfRaw(long records, const std::string& dir) {
  std::vector<rh::dbf::Field> fields;
  for (int c = 0; c < kTexts + kNumbers; ++c) {
    int n = c - kTexts;
    std::string name = (c < kTexts ? 'T' : 'N') + std::to_string(c < kTexts ? c : n);
    if (c < kTexts) fields.push_back({name, 'C', 20, 0});
    else fields.push_back({name, 'N', n % 2 ? 19 : 11, n % 2 ? 6 : 0});
  }
  auto file = rh::FileReplacement::Begin(rh::Env::Default(), dir + "/raw.dbf");
  if (!file.ok()) return 1;
  auto w = rh::dbf::Writer::Create(rh::Env::Default(), (*file)->temp_path(), (*file)->file(),
                                   fields);
  if (!w.ok()) return 1;
  std::vector<rh::dbf::Value> values(kTexts + kNumbers);
  Record r;
  for (long i = 0; i < records; ++i) {
    MakeRecord(i, &r);
    for (int t = 0; t < kTexts; ++t) values[t] = rh::dbf::Value::Text(r.texts[t]);
    for (int n = 0; n < kNumbers; ++n)
      values[kTexts + n] = n % 2 ? rh::dbf::Value::Real(r.doubles[n / 2])
                                 : rh::dbf::Value::Integer(r.longs[n / 2]);
    if (!(*w)->AddRecord(values).ok()) return 1;
  }
  if (!(*w)->Finish().ok()) return 1;
  return (*file)->Commit().ok() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s csv|xls-raw|xls-odbc|dbf-raw|dbf-odbc <records> <folder>\n",
                 argv[0]);
    return 2;
  }
  std::string mode = argv[1], dir = argv[3];
  long records = std::atol(argv[2]);
  auto start = std::chrono::steady_clock::now();
  int rc = mode == "csv"        ? Csv(records, dir)
           : mode == "xls-raw"  ? XlsRaw(records, dir)
           : mode == "dbf-raw"  ? DbfRaw(records, dir)
           : mode == "xls-odbc" ? Odbc(records,
                                       "DRIVER={MICROSOFT EXCEL DRIVER (*.XLS)};DSN='';"
                                       "FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"" +
                                           dir + "/odbc.xls\";DBQ=" + dir + "/odbc.xls",
                                       "KVTdatatool", false)
           : mode == "dbf-odbc" ? Odbc(records,
                                       "DRIVER=Microsoft dBase Driver (*.dbf);DBQ=" + dir + "/;",
                                       "odbc.dbf", true)
                                : 2;
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s %ld records: %.2f s (rc %d)\n", mode.c_str(), records, secs, rc);
  return rc;
}
