// The statement path of one of our ODBC drivers without the driver manager:
// the table store of the driver this binary links (dBase or Excel) takes
// the input's statements over a connection to a scratch folder and is
// closed. What it leaves must be whole: no temporary file, a dBase table
// whose size agrees with its header, a workbook that reads back.
#include <sql.h>
#include <sqlext.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/bytes.h"
#include "drivers/odbc/table_store.h"
#include "tests/drivers/xls/xls_test_reader.h"
#include "tests/fuzz/harness.h"
#include "tests/test_util.h"

namespace rh::fuzz {

namespace {

constexpr size_t kMaxStatements = 64;

bool IsDBase() { return odbc::ThisDriver().file_usage == SQL_FILE_TABLE; }

// dBase table names are file names in the folder; anything that could
// reach out of the scratch folder is left out.
bool StaysInFolder(const sql::Statement& s) {
  const std::string& table = std::holds_alternative<sql::CreateTable>(s)
                                 ? std::get<sql::CreateTable>(s).table
                                 : std::get<sql::Insert>(s).table;
  return !IsDBase() || (table.find('/') == std::string::npos &&
                        table.find('\\') == std::string::npos && !table.starts_with("."));
}

// Header, records and the end mark, as the header says.
bool WholeDbf(const std::string& bytes) {
  if (bytes.size() < 32) return false;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  const uint64_t records = LoadLittleU32(p + 4);
  const uint64_t header = LoadLittleU16(p + 8), record = LoadLittleU16(p + 10);
  return bytes.size() == header + records * record + 1 && bytes.back() == '\x1a';
}

}  // namespace

// Sections: one statement each.
int FuzzTableDriver(const uint8_t* data, size_t size) {
  static const test::TempDir scratch;
  const std::string& dir = scratch.path();
  odbc::ConnectionAttributes attrs;
  if (IsDBase()) attrs.Add("DBQ", dir);
  else attrs.Add("CREATE_DB", dir + "/book.xls");
  auto store = odbc::OpenTableStore(attrs);
  RH_FUZZ_CHECK(store.ok());
  uint32_t inserted = 0;  // rows that went in, for the workbook's one table
  for (std::string_view text : Sections(AsText(data, size), kMaxStatements)) {
    auto parsed = sql::Parse(text);
    if (!parsed.ok() || !StaysInFolder(*parsed)) continue;
    const bool create = std::holds_alternative<sql::CreateTable>(*parsed);
    Status s = create ? (*store)->CreateTable(std::get<sql::CreateTable>(*parsed))
                      : (*store)->Insert(std::get<sql::Insert>(*parsed));
    RH_FUZZ_CHECK(s.ok() || s.sqlstate().size() == 5);  // an SQLSTATE
    if (s.ok() && !create) ++inserted;
  }
  (*store)->Close().IgnoreError();
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    // Temporary files are ".<name>.rh...tmp"; no table name starts with ".".
    const std::string path = entry.path().string();
    RH_FUZZ_CHECK(!entry.path().filename().string().starts_with("."));
    if (IsDBase()) {
      RH_FUZZ_CHECK(WholeDbf(test::ReadFile(path)));
    } else {
      xls::testing::Workbook wb;
      std::string error;
      bool read = xls::testing::ReadWorkbook(test::ReadFile(path), &wb, &error);
      if (!read) std::fprintf(stderr, "workbook does not read back: %s\n", error.c_str());
      RH_FUZZ_CHECK(read);
      RH_FUZZ_CHECK(wb.dim_rows == inserted + 1);  // the names, then every row
    }
    std::filesystem::remove_all(entry.path());
  }
  return 0;
}

}  // namespace rh::fuzz
