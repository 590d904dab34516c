#include "drivers/mdb/mdb_engine.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "base/bytes.h"
#include "drivers/mdb/jet_format.h"
#include "drivers/mdb/jet_values.h"
#include "drivers/sql/sql_statement.h"
#include "tests/random_value_lists.h"

namespace rh::mdb {
namespace {

namespace fs = std::filesystem;

const char* kCreate =
    "CREATE TABLE KVTdatatool ('T' TEXT,'T30' TEXT(30),'D' DOUBLE,'S' SHORT,"
    "'B' BYTE,'F' SINGLE,'L' LONG)";
const char* kInsertPrefix =
    "INSERT INTO KVTdatatool ('T','T30','D','S','B','F','L') VALUES ";

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "mdbtestXXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path_); }
  std::string operator/(const char* name) const { return (path_ / name).string(); }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path_))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  fs::path path_;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteAll(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

std::string Row(int i) {
  return std::string(kInsertPrefix) + "('text " + std::to_string(i) + "','x'," +
         std::to_string(i) + ".5," + std::to_string(i % 30000) + "," +
         std::to_string(i % 256) + ",0.25," + std::to_string(i) + ")";
}

std::unique_ptr<Database> NewDatabase(const std::string& path, Env* env = nullptr) {
  EngineOptions options;
  options.env = env;
  options.creation_date = 46000.5;
  auto db = Workspace(options).CreateDatabase(path, kGeneralLocale, 0);
  EXPECT_TRUE(db.ok()) << db.status().ToString();
  return db.ok() ? std::move(db).value() : nullptr;
}

// A page of a finished file.
std::string Page(const std::string& file, uint32_t n) {
  return file.substr(size_t{n} * kPageSize, kPageSize);
}
const uint8_t* U(const std::string& s, size_t offset) {
  return reinterpret_cast<const uint8_t*>(s.data()) + offset;
}

// The bytes of the row a page/row pointer names.
std::string RowAt(const std::string& file, uint32_t pointer) {
  std::string page = Page(file, pointer >> 8);
  const uint32_t row = pointer & 0xFF;
  const uint16_t start = LoadLittleU16(U(page, 14 + 2 * row)) & 0x1FFF;
  const uint16_t end =
      row == 0 ? kPageSize : LoadLittleU16(U(page, 14 + 2 * (row - 1))) & 0x1FFF;
  return page.substr(start, end - start);
}

// The pages a table's usage map lists.
std::vector<uint32_t> MappedPages(const std::string& file, uint32_t pointer) {
  std::string map = RowAt(file, pointer);
  std::vector<uint32_t> pages;
  if (map[0] == 0) {
    const uint32_t start = LoadLittleU32(U(map, 1));
    for (uint32_t bit = 0; bit < (map.size() - 5) * 8; ++bit)
      if (map[5 + bit / 8] & (1 << (bit % 8))) pages.push_back(start + bit);
    return pages;
  }
  for (size_t k = 0; k < (map.size() - 1) / 4; ++k) {
    const uint32_t map_page = LoadLittleU32(U(map, 1 + 4 * k));
    if (map_page == 0) continue;
    std::string bits = Page(file, map_page);
    EXPECT_EQ(bits[0], 5);
    for (uint32_t bit = 0; bit < kPagesPerMapPage; ++bit)
      if (bits[4 + bit / 8] & (1 << (bit % 8)))
        pages.push_back(static_cast<uint32_t>(k * kPagesPerMapPage + bit));
  }
  return pages;
}

TEST(MdbEngine, RefusedStatementsChangeNothing) {
  TempDir dir;
  auto db = NewDatabase(dir / "a.mdb");
  ASSERT_TRUE(db->Execute(kCreate).ok());
  ASSERT_TRUE(db->Execute(Row(1)).ok());
  struct Case {
    std::string sql;
    const char* sqlstate;
  } cases[] = {
      {"SELECT * FROM KVTdatatool", sql::kSyntaxError},
      {"DROP TABLE KVTdatatool", sql::kSyntaxError},
      {"CREATE TABLE KVTdatatool ('X' LONG)", sql::kTableExists},
      {"CREATE TABLE kvtDATAtool ('X' LONG)", sql::kTableExists},
      {"CREATE TABLE Other ('X' LONG)", sql::kGeneralError},
      {"INSERT INTO Nope ('L') VALUES (1)", sql::kTableNotFound},
      {"INSERT INTO KVTdatatool ('Nope') VALUES (1)", sql::kColumnNotFound},
      {"INSERT INTO KVTdatatool ('L','l') VALUES (1,2)", sql::kSyntaxError},
      {"INSERT INTO KVTdatatool VALUES (1)", sql::kCountMismatch},
      {"INSERT INTO KVTdatatool ('T') VALUES ('" + std::string(256, 'x') + "')",
       sql::kStringTooLong},
      {"INSERT INTO KVTdatatool ('T30') VALUES ('" + std::string(31, 'x') + "')",
       sql::kStringTooLong},
      {"INSERT INTO KVTdatatool ('S') VALUES (40000)", sql::kOutOfRange},
      {"INSERT INTO KVTdatatool ('B') VALUES (-1)", sql::kOutOfRange},
      {"INSERT INTO KVTdatatool ('L') VALUES (2147483648)", sql::kOutOfRange},
      {"INSERT INTO KVTdatatool ('F') VALUES (1e39)", sql::kOutOfRange},
      {"INSERT INTO KVTdatatool ('L') VALUES ('abc')", kInvalidCast},
      {"INSERT INTO KVTdatatool ('D') VALUES ('')", kInvalidCast},
  };
  for (const auto& c : cases) {
    Status s = db->Execute(c.sql);
    EXPECT_EQ(s.sqlstate(), c.sqlstate) << c.sql << " -> " << s.ToString();
  }
  ASSERT_TRUE(db->Execute(Row(2)).ok());
  // Lower-case names and a partial column list work; the rest is null.
  ASSERT_TRUE(db->Execute("insert into kvtdatatool (t, l) values ('p', 3)").ok());
  EXPECT_EQ(db->Execute("INSERT INTO KVTdatatool ('L') VALUES (1)", 1).sqlstate(),
            sql::kGeneralError);
  EXPECT_EQ(db->row_count(), 3u);
  ASSERT_TRUE(db->Close().ok());
  EXPECT_EQ(db->Execute(Row(4)).sqlstate(), sql::kGeneralError);
  EXPECT_TRUE(db->Close().ok());

  std::string file = ReadAll(dir / "a.mdb");
  EXPECT_EQ(LoadLittleU32(U(Page(file, 8), 16)), 3u);  // rows in the tdef
}

// Rows worked out by an encoder (on another thread) and added in order
// make the file that executing the statements makes, over several pages;
// a statement the encoder declines is executed and refused as it would be.
TEST(MdbEngine, EncodedRowsMakeTheSameFile) {
  TempDir dir;
  auto executed = NewDatabase(dir / "a.mdb");
  auto encoded = NewDatabase(dir / "b.mdb");
  EXPECT_EQ(encoded->NewRowEncoder(), nullptr) << "no table yet";
  ASSERT_TRUE(executed->Execute(kCreate).ok());
  ASSERT_TRUE(encoded->Execute(kCreate).ok());
  std::vector<std::string> statements;
  for (int i = 0; i < 3000; ++i) {
    statements.push_back(Row(i));
    if (i % 700 == 5) statements.push_back("INSERT INTO KVTdatatool ('S') VALUES (40000)");
    if (i % 900 == 7) statements.push_back("INSERT INTO KVTdatatool ('Nope') VALUES (1)");
    if (i == 1000) statements.push_back("CREATE TABLE Other ('X' LONG)");
    if (i == 1500) statements.push_back("insert into kvtdatatool (t, l) values ('p', 3)");
  }
  std::vector<std::string> rows(statements.size());
  std::vector<char> made(statements.size());
  std::thread worker([&] {
    auto encoder = encoded->NewRowEncoder();
    ASSERT_NE(encoder, nullptr);
    for (size_t i = 0; i < statements.size(); ++i) made[i] = encoder->Encode(statements[i], &rows[i]);
  });
  worker.join();
  int declined = 0;
  for (size_t i = 0; i < statements.size(); ++i) {
    const Status want = executed->Execute(statements[i]);
    const Status got = made[i] ? encoded->AddEncodedRow(rows[i]) : encoded->Execute(statements[i]);
    EXPECT_EQ(got.ToString(), want.ToString()) << statements[i];
    declined += made[i] ? 0 : 1;
  }
  EXPECT_EQ(declined, 5 + 4 + 1);
  EXPECT_EQ(encoded->row_count(), executed->row_count());
  ASSERT_TRUE(executed->Close().ok());
  ASSERT_TRUE(encoded->Close().ok());
  EXPECT_TRUE(ReadAll(dir / "a.mdb") == ReadAll(dir / "b.mdb"));
  EXPECT_EQ(encoded->AddEncodedRow(rows[0]).sqlstate(), sql::kGeneralError) << "closed";
}

// Rows an encoder takes straight from the text of their values, and those it
// parses, make the file the statements executed make: random statements,
// mostly as an export sends them, now and then with a value or a shape of
// another kind.
TEST(MdbEngine, EncodedValuesAsTextMakeTheSameFile) {
  const std::vector<std::string> odd = {
      "-0", "256", "-1", "40000", "-2147483649", "007", "1e3", "+5", ".5", "5.", "12abc",
      "NULL", "'12'", "'x'", "''", "'a''b'", "''''", "7", "-1.5", "'unclosed", "' 3 '",
      "'2024-01-31'", "3.4e39"};
  using test::RandomValueLists;
  // The columns of kCreate: T, T30, D, S, B, F, L.
  const std::vector<test::ValueMaker> columns = {
      [](RandomValueLists& r) { return r.Text(60); },
      [](RandomValueLists& r) { return r.Text(32); },
      [](RandomValueLists& r) { return r.Decimal(8, 6); },
      [](RandomValueLists& r) { return r.Signed(3); },
      [](RandomValueLists& r) { return r.Digits(1); },
      [](RandomValueLists& r) { return r.Decimal(6, 4); },
      [](RandomValueLists& r) { return r.Signed(8); },
  };
  RandomValueLists lists(77);
  std::vector<std::string> statements;
  for (int i = 0; i < 4000; ++i) {
    statements.push_back("INSERT INTO KVTdatatool ('T','T30','D','S','B','F','L') " +
                         lists.List(columns, odd));
    if (i % 500 == 3) {
      // Fewer columns, the first time refused at its first: the others
      // are null in the next row, whatever the rows before held.
      statements.push_back("INSERT INTO KVTdatatool ('T','L') VALUES ('" + std::string(300, 'x') +
                           "',1)");
      statements.push_back("INSERT INTO KVTdatatool ('T','L') VALUES ('y',2)");
    }
  }
  TempDir dir;
  auto executed = NewDatabase(dir / "a.mdb");
  auto encoded = NewDatabase(dir / "b.mdb");
  ASSERT_TRUE(executed->Execute(kCreate).ok());
  ASSERT_TRUE(encoded->Execute(kCreate).ok());
  auto encoder = encoded->NewRowEncoder();
  ASSERT_NE(encoder, nullptr);
  int stored = 0;
  for (const std::string& statement : statements) {
    std::string row;
    const Status want = executed->Execute(statement);
    const Status got = encoder->Encode(statement, &row) ? encoded->AddEncodedRow(row)
                                                        : encoded->Execute(statement);
    ASSERT_EQ(got.ToString(), want.ToString()) << statement;
    stored += want.ok();
  }
  EXPECT_GT(stored, 2000);  // most as an export sends them
  ASSERT_TRUE(executed->Close().ok());
  ASSERT_TRUE(encoded->Close().ok());
  EXPECT_TRUE(ReadAll(dir / "a.mdb") == ReadAll(dir / "b.mdb"));
}

// A table with memos claims pages as rows are added: no encoder.
TEST(MdbEngine, NoRowEncoderWithMemos) {
  TempDir dir;
  auto db = NewDatabase(dir / "a.mdb");
  ASSERT_TRUE(db->Execute("CREATE TABLE KVTdatatool ('M' MEMO,'L' LONG)").ok());
  EXPECT_EQ(db->NewRowEncoder(), nullptr);
}

TEST(MdbEngine, RefusedCreateLeavesNoFile) {
  std::string many = "CREATE TABLE KVTdatatool (";
  for (int i = 0; i < 256; ++i) many += (i ? ",'c" : "'c") + std::to_string(i) + "' LONG";
  many += ")";
  struct Case {
    std::string sql;
    const char* sqlstate;
  } cases[] = {
      {"CREATE TABLE MSysObjects ('A' LONG)", sql::kTableExists},
      {"CREATE TABLE KVTdatatool ('A' LONG,'a' TEXT)", "42S21"},
      {"CREATE TABLE KVTdatatool ('A' TEXT(0))", sql::kSyntaxError},
      {"CREATE TABLE KVTdatatool ('A' TEXT(256))", sql::kSyntaxError},
      {"CREATE TABLE KVTdatatool ('' LONG)", sql::kSyntaxError},
      {"CREATE TABLE KVTdatatool (' A' LONG)", sql::kSyntaxError},
      {"CREATE TABLE KVTdatatool ('" + std::string(65, 'n') + "' LONG)",
       sql::kSyntaxError},
      {many, sql::kGeneralError},
      {"INSERT INTO KVTdatatool ('A') VALUES (1)", sql::kTableNotFound},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteAll(dir / "a.mdb", "old");
    auto db = NewDatabase(dir / "a.mdb");
    EXPECT_EQ(db->Execute(c.sql).sqlstate(), c.sqlstate) << c.sql.substr(0, 60);
    EXPECT_TRUE(db->Close().ok());
    EXPECT_EQ(ReadAll(dir / "a.mdb"), "old");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.mdb"});
  }
}

TEST(MdbEngine, ReplacesTheDestinationOnlyWhenComplete) {
  TempDir dir;
  const std::string path = dir / "a.mdb";
  WriteAll(path, "old");
  {
    auto db = NewDatabase(path);  // never closed: nothing happens
    ASSERT_TRUE(db->Execute(kCreate).ok());
    ASSERT_TRUE(db->Execute(Row(1)).ok());
  }
  EXPECT_EQ(ReadAll(path), "old");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.mdb"});

  auto db = NewDatabase(path);
  ASSERT_TRUE(db->Execute(kCreate).ok());
  ASSERT_TRUE(db->Execute(Row(1)).ok());
  EXPECT_FALSE(db->Execute("INSERT INTO KVTdatatool ('S') VALUES (99999)").ok());
  EXPECT_EQ(ReadAll(path), "old");  // nothing replaced before Close
  ASSERT_TRUE(db->Close().ok());
  std::string file = ReadAll(path);
  ASSERT_EQ(file.size() % kPageSize, 0u);
  EXPECT_EQ(file.substr(4, 15), "Standard Jet DB");
  EXPECT_EQ(LoadLittleU32(U(Page(file, 8), 16)), 1u);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.mdb"});
}

TEST(MdbEngine, CreateDatabaseRefusals) {
  TempDir dir;
  Workspace ws;
  struct Case {
    std::string path;
    std::string locale;
    int options;
  } cases[] = {
      {dir / "missing/a.mdb", kGeneralLocale, 0},
      {"", kGeneralLocale, 0},
      {dir / "a.mdb", ";LANGID=0x0409;CP=1251;COUNTRY=0", 0},
      {dir / "a.mdb", ";pwd=secret", 0},
      {dir / "a.mdb", kGeneralLocale, 2},  // encryption
  };
  for (const auto& c : cases) {
    auto db = ws.CreateDatabase(c.path, c.locale, c.options);
    EXPECT_FALSE(db.ok()) << c.path << " " << c.locale;
    if (!db.ok()) {
      EXPECT_EQ(db.status().sqlstate(), sql::kGeneralError);
    }
  }
  EXPECT_TRUE(dir.Entries().empty());
  EXPECT_TRUE(ws.CreateDatabase(dir / "b.mdb", "", kDbVersion40).ok());
}

TEST(MdbEngine, CatalogAndSystemTables) {
  TempDir dir;
  auto db = NewDatabase(dir / "a.mdb");
  ASSERT_TRUE(db->Execute(kCreate).ok());
  ASSERT_TRUE(db->Close().ok());
  std::string file = ReadAll(dir / "a.mdb");
  ASSERT_EQ(file.size(), 9 * kPageSize);  // an empty table has no data page
  struct Want {
    uint32_t page;
    uint8_t type;
  } want[] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 1}, {7, 1}, {8, 2}};
  for (const auto& w : want) EXPECT_EQ(file[w.page * kPageSize], w.type) << w.page;
  std::string catalog = Page(file, 7);
  EXPECT_EQ(LoadLittleU32(U(catalog, 4)), 2u);  // owned by MSysObjects
  EXPECT_EQ(LoadLittleU16(U(catalog, 12)), 9);
  std::string objects = Page(file, 2);
  EXPECT_EQ(objects[40], 0x53);  // system table
  EXPECT_EQ(LoadLittleU16(U(objects, 45)), 17);
  EXPECT_EQ(MappedPages(file, LoadLittleU32(U(objects, 55))),
            std::vector<uint32_t>{7});
  std::string user = Page(file, 8);
  EXPECT_EQ(user[40], 0x4E);
  EXPECT_EQ(LoadLittleU32(U(user, 16)), 0u);
  EXPECT_TRUE(MappedPages(file, LoadLittleU32(U(user, 55))).empty());
}

// Rows of every size class end up in data pages that the usage map lists,
// inline for small tables and through map pages for large ones.
TEST(MdbEngine, UsageMapsListEveryDataPage) {
  struct Case {
    int rows;
    uint8_t map_type;
  } cases[] = {{1, 0}, {2000, 0}, {100000, 1}};
  for (const auto& c : cases) {
    TempDir dir;
    auto db = NewDatabase(dir / "a.mdb");
    ASSERT_TRUE(db->Execute(kCreate).ok());
    for (int i = 0; i < c.rows; ++i) ASSERT_TRUE(db->Execute(Row(i)).ok());
    ASSERT_TRUE(db->Close().ok());
    std::string file = ReadAll(dir / "a.mdb");
    std::string tdef = Page(file, 8);
    EXPECT_EQ(LoadLittleU32(U(tdef, 16)), static_cast<uint32_t>(c.rows));
    const uint32_t used = LoadLittleU32(U(tdef, 55));
    EXPECT_EQ(RowAt(file, used)[0], c.map_type) << c.rows;
    uint64_t rows = 0;
    std::vector<uint32_t> pages = MappedPages(file, used);
    for (uint32_t p : pages) {
      std::string page = Page(file, p);
      ASSERT_EQ(page[0], 1) << p;
      ASSERT_EQ(LoadLittleU32(U(page, 4)), 8u) << p;
      rows += LoadLittleU16(U(page, 12));
    }
    EXPECT_EQ(rows, static_cast<uint64_t>(c.rows));
    // The free-space map names the last data page.
    EXPECT_EQ(MappedPages(file, LoadLittleU32(U(tdef, 59))),
              std::vector<uint32_t>{pages.back()});
    // The database's own map marks the pages past the end as free.
    std::vector<uint32_t> free = MappedPages(file, RowPointer(1, 0));
    ASSERT_FALSE(free.empty());
    EXPECT_EQ(free.front(), file.size() / kPageSize);
  }
}

TEST(MdbEngine, TooLargeRecordIsRefused) {
  TempDir dir;
  auto db = NewDatabase(dir / "a.mdb");
  std::string create = "CREATE TABLE KVTdatatool (";
  std::string names, values;
  for (int i = 0; i < 20; ++i) {
    create += (i ? ",'c" : "'c") + std::to_string(i) + "' TEXT";
    names += (i ? ",'c" : "'c") + std::to_string(i) + "'";
    values += (i ? ",'" : "'") + std::string(255, '\x80') + "'";  // not compressible
  }
  ASSERT_TRUE(db->Execute(create + ")").ok());
  Status s = db->Execute("INSERT INTO KVTdatatool (" + names + ") VALUES (" + values + ")");
  EXPECT_EQ(s.sqlstate(), sql::kGeneralError) << s.ToString();
  EXPECT_TRUE(db->Execute("INSERT INTO KVTdatatool ('c0') VALUES ('" +
                          std::string(255, '\x80') + "')")
                  .ok());
  EXPECT_TRUE(db->Close().ok());
}

// The memo values of a table ('N' LONG, 'M' MEMO) as readers find them:
// the data pages its usage map lists, each row's reference, the long-value
// rows it points to. Returns the stored bytes of each row, in order; counts
// how the values were held.
struct MemoScan {
  std::vector<std::string> values;
  int inline_values = 0, single_rows = 0, chains = 0;
  std::set<uint32_t> long_value_pages;  // the pages the references lead to
};

MemoScan ScanMemos(const std::string& file) {
  MemoScan scan;
  const std::string tdef = Page(file, 8);
  for (uint32_t p : MappedPages(file, LoadLittleU32(U(tdef, 55)))) {
    const std::string page = Page(file, p);
    EXPECT_EQ(LoadLittleU32(U(page, 4)), 8u) << "a data page of the table: " << p;
    for (uint32_t r = 0; r < LoadLittleU16(U(page, 12)); ++r) {
      // count | N | memo | eod | offset | var count | null mask
      const std::string row = RowAt(file, RowPointer(p, static_cast<uint8_t>(r)));
      const std::string memo = row.substr(6, row.size() - 6 - 7);
      const uint32_t length = LoadLittleU32(U(memo, 0)) & 0xFFFFFF;
      uint32_t pointer = LoadLittleU32(U(memo, 4));
      std::string value;
      switch (static_cast<uint8_t>(memo[3])) {
        case 0x80:
          ++scan.inline_values;
          value = memo.substr(12);
          break;
        case 0x40:
          ++scan.single_rows;
          value = RowAt(file, pointer);
          scan.long_value_pages.insert(pointer >> 8);
          break;
        default:
          ++scan.chains;
          // Each piece starts with the link to the next; the last with 0.
          while (pointer != 0 && value.size() < length) {
            scan.long_value_pages.insert(pointer >> 8);
            const std::string piece = RowAt(file, pointer);
            value += piece.substr(4);
            pointer = LoadLittleU32(U(piece, 0));
          }
          EXPECT_EQ(pointer, 0u) << "the chain ends where the value does";
      }
      EXPECT_EQ(value.size(), length);
      scan.values.push_back(value);
    }
  }
  for (uint32_t p : scan.long_value_pages) EXPECT_EQ(Page(file, p).substr(4, 4), "LVAL") << p;
  return scan;
}

// Memos of every length a text field can have, in many rows: kept in the
// row, one long-value row, or a chain over pages; the long-value pages are
// listed by the memo column's map and never by the data pages' map.
TEST(MdbEngine, MemoValuesOfEveryLength) {
  struct Case {
    size_t length;
    char fill;  // 0x80 is the euro sign, which does not compress
    int inline_values, single_rows, chains;
  } cases[] = {
      {0, 'x', 40, 0, 0},      {62, 'x', 40, 0, 0},   {63, 'x', 0, 40, 0},
      {300, 'x', 0, 40, 0},    {300, '\x80', 0, 40, 0}, {2040, '\x80', 0, 40, 0},
      {2041, '\x80', 0, 0, 40}, {5000, 'x', 0, 0, 40}, {32767, '\x80', 0, 0, 40},
  };
  for (const auto& c : cases) {
    TempDir dir;
    auto db = NewDatabase(dir / "a.mdb");
    ASSERT_TRUE(db->Execute("CREATE TABLE KVTdatatool ('N' LONG,'M' MEMO)").ok());
    std::vector<std::string> want;
    for (int i = 0; i < 40; ++i) {
      std::string text(c.length, c.fill);
      if (!text.empty()) text[i % text.size()] = 'a' + i % 26;
      Status s = db->Execute("INSERT INTO KVTdatatool ('N','M') VALUES (" + std::to_string(i) +
                             ",'" + text + "')");
      ASSERT_TRUE(s.ok()) << s.ToString();
      want.emplace_back();
      AppendMemoText(text, &want.back());
    }
    ASSERT_TRUE(db->Close().ok());
    const std::string file = ReadAll(dir / "a.mdb");
    MemoScan scan = ScanMemos(file);
    EXPECT_EQ(scan.values, want) << c.length;
    EXPECT_EQ(scan.inline_values, c.inline_values) << c.length;
    EXPECT_EQ(scan.single_rows, c.single_rows) << c.length;
    EXPECT_EQ(scan.chains, c.chains) << c.length;
    // The memo column's maps follow the column names: column 1, used, free.
    const std::string tdef = Page(file, 8);
    const size_t maps = 63 + 2 * 25 + 4 + 4;
    ASSERT_EQ(LoadLittleU16(U(tdef, maps)), 1);
    std::vector<uint32_t> listed = MappedPages(file, LoadLittleU32(U(tdef, maps + 2)));
    EXPECT_EQ(std::set<uint32_t>(listed.begin(), listed.end()), scan.long_value_pages);
  }
}

// Short memos stay in the row unless there are too many for it; a row that
// does not fit either way is refused before any of its memos is stored.
TEST(MdbEngine, MemoRowsThatDoNotFit) {
  std::string create = "CREATE TABLE KVTdatatool (", names;
  for (int i = 0; i < 7; ++i) create += "'t" + std::to_string(i) + "' TEXT,";
  for (int i = 0; i < 100; ++i) {
    create += std::string(i ? "," : "") + "'m" + std::to_string(i) + "' MEMO";
    names += std::string(i ? "," : "") + "'m" + std::to_string(i) + "'";
  }
  auto memos = [&](size_t length) {
    std::string values;
    for (int i = 0; i < 100; ++i) values += (i ? ",'" : "'") + std::string(length, 'x') + "'";
    return "INSERT INTO KVTdatatool (" + names + ") VALUES (" + values + ")";
  };
  std::string texts = "INSERT INTO KVTdatatool ('t0','t1','t2','t3','t4','t5','t6',";
  texts += names + ") VALUES (";
  for (int i = 0; i < 7; ++i) texts += "'" + std::string(255, '\x80') + "',";  // not compressible
  texts += memos(300).substr(memos(300).find("VALUES (") + 8);
  struct Case {
    std::string insert;
    const char* sqlstate;  // nullptr: stored
    bool long_value_pages;
  } cases[] = {
      {memos(40), nullptr, true},  // 100 inline memos would not fit
      {memos(10), nullptr, false},
      {texts, sql::kGeneralError, false},
      {"INSERT INTO KVTdatatool ('m0') VALUES ('" + std::string(kMaxMemoLength + 1, 'x') + "')",
       sql::kStringTooLong, false},
  };
  for (const auto& c : cases) {
    TempDir dir;
    auto db = NewDatabase(dir / "a.mdb");
    ASSERT_TRUE(db->Execute(create + ")").ok());
    Status s = db->Execute(c.insert);
    EXPECT_EQ(s.sqlstate(), c.sqlstate ? c.sqlstate : "") << s.ToString();
    EXPECT_EQ(db->row_count(), c.sqlstate ? 0u : 1u);
    ASSERT_TRUE(db->Close().ok());
    const std::string file = ReadAll(dir / "a.mdb");
    bool lval = false;
    for (size_t p = 0; p < file.size() / kPageSize; ++p) lval |= Page(file, p).substr(4, 4) == "LVAL";
    EXPECT_EQ(lval, c.long_value_pages) << c.insert.substr(0, 80);
  }
}

// Breaks the file layer at chosen points.
class FaultyEnv : public EnvWrapper {
 public:
  FaultyEnv() : EnvWrapper(Env::Default()) {}
  bool fail_rename = false;
  size_t fail_after_bytes = SIZE_MAX;  // appends beyond this fail

  Result<std::unique_ptr<WritableFile>> OpenWritable(const std::string& path,
                                                     WriteMode mode) override {
    auto f = EnvWrapper::OpenWritable(path, mode);
    if (!f.ok()) return f;
    return std::unique_ptr<WritableFile>(new File(std::move(f).value(), this));
  }
  Status Rename(const std::string& from, const std::string& to) override {
    if (fail_rename) return IoError(EXDEV);
    return EnvWrapper::Rename(from, to);
  }

 private:
  class File : public WritableFile {
   public:
    File(std::unique_ptr<WritableFile> f, FaultyEnv* env) : f_(std::move(f)), env_(env) {}
    Status Append(std::string_view data) override {
      written_ += data.size();
      if (written_ > env_->fail_after_bytes) return IoError(ENOSPC);
      return f_->Append(data);
    }
    Status Close() override { return f_->Close(); }

   private:
    std::unique_ptr<WritableFile> f_;
    FaultyEnv* env_;
    size_t written_ = 0;
  };
};

TEST(MdbEngine, FileErrorsKeepTheOldDestination) {
  struct Case {
    bool fail_rename;
    size_t fail_after_bytes;
    bool create_fails;
  } cases[] = {
      {true, SIZE_MAX, false},                // rename at Close
      {false, 4 * kPageSize, true},           // the front pages of CREATE
      {false, 30 * kPageSize, false},         // a data page
  };
  for (const auto& c : cases) {
    TempDir dir;
    FaultyEnv env;
    env.fail_rename = c.fail_rename;
    env.fail_after_bytes = c.fail_after_bytes;
    const std::string path = dir / "a.mdb";
    WriteAll(path, "old");
    auto db = NewDatabase(path, &env);
    Status s = db->Execute(kCreate);
    EXPECT_EQ(s.ok(), !c.create_fails);
    bool insert_failed = false;
    for (int i = 0; s.ok() && i < 3000; ++i) {
      s = db->Execute(Row(i));
      insert_failed = !s.ok();
    }
    if (insert_failed) {
      EXPECT_EQ(db->Execute(Row(0)).sqlstate(), sql::kGeneralError);
    }
    EXPECT_FALSE(db->Close().ok() && (c.fail_rename || insert_failed));
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.mdb"});
  }
}

}  // namespace
}  // namespace rh::mdb
