// Reads a SQLite database back for the tests: each row of a query as its
// values joined by "|", NULL as an empty value.
#ifndef RECORDHAUL_TESTS_DATABASES_SQLITE_READ_H_
#define RECORDHAUL_TESTS_DATABASES_SQLITE_READ_H_

#include <sqlite3.h>

#include <string>
#include <vector>

namespace rh::test {

inline std::vector<std::string> Query(const std::string& path, const std::string& sql) {
  std::vector<std::string> rows;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return {"cannot open " + path};
  }
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    rows.push_back(std::string("error: ") + sqlite3_errmsg(db));
  } else {
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      std::string row;
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        if (i > 0) row += '|';
        if (const unsigned char* text = sqlite3_column_text(stmt, i))
          row += reinterpret_cast<const char*>(text);
      }
      rows.push_back(row);
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rows;
}

// The single value of a query that has one.
inline std::string Value(const std::string& path, const std::string& sql) {
  auto rows = Query(path, sql);
  return rows.size() == 1 ? rows[0] : "(" + std::to_string(rows.size()) + " rows)";
}

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_DATABASES_SQLITE_READ_H_
