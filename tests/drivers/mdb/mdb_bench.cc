// Times the Access export path against a plain CSV write of the same
// records: 20 mixed columns, one INSERT statement per row.
//   mdb_bench csv|mdb OUTPUT ROWS
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/env.h"
#include "drivers/mdb/mdb_engine.h"

namespace {

// The values of record i, each already as the text the writers put out.
void Record(int i, std::string (&v)[20]) {
  char buf[64];
  for (int c = 0; c < 20; ++c) {
    switch (c % 5) {
      case 0: snprintf(buf, sizeof buf, "Customer %07d O'Neil", i); break;
      case 1: snprintf(buf, sizeof buf, "%d", i * 3 + c); break;
      case 2: snprintf(buf, sizeof buf, "%.6f", i * 0.37 + c); break;
      case 3: snprintf(buf, sizeof buf, "%.4f", (i % 10000) * 0.0125); break;
      case 4: snprintf(buf, sizeof buf, "%i", (i + c) % 32000); break;
    }
    v[c] = buf;
  }
}

const char* kTypes[5] = {" TEXT", " LONG", " DOUBLE", " SINGLE", " SHORT"};

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char ch : s) {
    out += ch;
    if (ch == '\'') out += '\'';
  }
  return out + "'";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: mdb_bench csv|mdb OUTPUT ROWS\n");
    return 2;
  }
  const std::string mode = argv[1];
  const int rows = atoi(argv[3]);
  std::string v[20];
  auto start = std::chrono::steady_clock::now();
  if (mode == "csv") {
    auto file = rh::Env::Default()->OpenWritable(argv[2], rh::WriteMode::kCreateTruncate);
    if (!file.ok()) return 1;
    std::string line;
    for (int i = 0; i < rows; ++i) {
      Record(i, v);
      line.clear();
      for (int c = 0; c < 20; ++c) {
        if (c) line += ',';
        line += c % 5 == 0 ? "\"" + v[c] + "\"" : v[c];
      }
      line += "\r\n";
      if (!(*file)->Append(line).ok()) return 1;
    }
    if (!(*file)->Close().ok()) return 1;
  } else {
    rh::mdb::Workspace ws;
    auto db = ws.CreateDatabase(argv[2], rh::mdb::kGeneralLocale, 0);
    if (!db.ok()) return 1;
    std::string create = "CREATE TABLE KVTdatatool (", names;
    for (int c = 0; c < 20; ++c) {
      std::string name = "'Column " + std::to_string(c) + "'";
      create += (c ? "," : "") + name + kTypes[c % 5];
      names += (c ? "," : "") + name;
    }
    if (!(*db)->Execute(create + ")").ok()) return 1;
    std::string sql, values;
    for (int i = 0; i < rows; ++i) {
      Record(i, v);
      values.clear();
      for (int c = 0; c < 20; ++c) {
        if (c) values += ',';
        values += c % 5 == 0 ? Quoted(v[c]) : v[c];
      }
      sql = "INSERT INTO KVTdatatool (" + names + ") VALUES (" + values + ")";
      rh::Status s = (*db)->Execute(sql, rh::mdb::kDbFailOnError);
      if (!s.ok()) {
        fprintf(stderr, "%s\n", s.ToString().c_str());
        return 1;
      }
    }
    if (!(*db)->Close().ok()) return 1;
  }
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  printf("%s: %d rows in %.2f s\n", mode.c_str(), rows, secs);
  return 0;
}
