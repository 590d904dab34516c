#include "drivers/mdb/mdb_engine.h"

#include <charconv>
#include <ctime>
#include <variant>
#include <vector>

#include "base/cp1252.h"
#include "base/file_replacement.h"
#include "base/paths.h"
#include "drivers/mdb/jet_format.h"
#include "drivers/mdb/jet_values.h"
#include "drivers/mdb/long_value_pages.h"
#include "drivers/sql/sql_statement.h"

namespace rh::mdb {

namespace {

// Where things go. The pages up to the user table's definition are built
// when the table is created and rebuilt by Close(); the data pages and the
// long-value pages of memo columns follow them and are written as they fill;
// usage-map pages for large tables come last.
constexpr uint32_t kGlobalMapPage = 1;
constexpr uint32_t kObjectsTdefPage = 2;  // readers look for the catalog here
constexpr uint32_t kAcesTdefPage = 3;
constexpr uint32_t kQueriesTdefPage = 4;
constexpr uint32_t kRelationshipsTdefPage = 5;
constexpr uint32_t kMapsPage = 6;  // the usage-map rows of every table
constexpr uint32_t kObjectsDataPage = 7;
constexpr uint32_t kUserTdefPage = 8;

// Pages kept free below the 2 GB limit for the usage-map pages of Close():
// those of the data pages, of the file, and of the long-value pages.
constexpr uint32_t kMapPageReserve = 2 * kReferenceSlots;
constexpr uint32_t kLongValueMapPageReserve = kReferenceSlots;

// Catalog ids and flags.
constexpr int32_t kTablesId = 0x0F000001;
constexpr int32_t kDatabasesId = 0x0F000002;
constexpr int32_t kRelationshipsId = 0x0F000003;
constexpr int32_t kRootId = 0x0F000000;
constexpr int32_t kMSysDbId = 0x10000000;
constexpr int32_t kSystemFlag = INT32_MIN;  // 0x80000000
constexpr int16_t kTypeTable = 1;
constexpr int16_t kTypeDatabase = 2;
constexpr int16_t kTypeContainer = 3;

struct SystemColumn {
  const char* name;
  JetType type;
  uint16_t length;
};

constexpr SystemColumn kObjectsColumns[] = {
    {"Id", JetType::kLong, 0},           {"ParentId", JetType::kLong, 0},
    {"Name", JetType::kText, 510},       {"Type", JetType::kInteger, 0},
    {"DateCreate", JetType::kDateTime, 0}, {"DateUpdate", JetType::kDateTime, 0},
    {"Owner", JetType::kBinary, 255},    {"Flags", JetType::kLong, 0},
    {"Database", JetType::kMemo, 0},     {"Connect", JetType::kMemo, 0},
    {"ForeignName", JetType::kText, 510}, {"RmtInfoShort", JetType::kBinary, 255},
    {"RmtInfoLong", JetType::kOle, 0},   {"Lv", JetType::kOle, 0},
    {"LvProp", JetType::kOle, 0},        {"LvModule", JetType::kOle, 0},
    {"LvExtra", JetType::kOle, 0}};
constexpr SystemColumn kAcesColumns[] = {{"ObjectId", JetType::kLong, 0},
                                         {"SID", JetType::kBinary, 255},
                                         {"ACM", JetType::kLong, 0},
                                         {"FInheritable", JetType::kBoolean, 0}};
constexpr SystemColumn kQueriesColumns[] = {
    {"Attribute", JetType::kByte, 0},  {"Expression", JetType::kMemo, 0},
    {"Flag", JetType::kInteger, 0},    {"LvExtra", JetType::kOle, 0},
    {"Name1", JetType::kText, 510},    {"Name2", JetType::kText, 510},
    {"ObjectId", JetType::kLong, 0},   {"Order", JetType::kBinary, 255}};
constexpr SystemColumn kRelationshipsColumns[] = {
    {"ccolumn", JetType::kLong, 0},         {"grbit", JetType::kLong, 0},
    {"icolumn", JetType::kLong, 0},         {"szColumn", JetType::kText, 510},
    {"szObject", JetType::kText, 510},      {"szReferencedColumn", JetType::kText, 510},
    {"szReferencedObject", JetType::kText, 510}, {"szRelationship", JetType::kText, 510}};

template <size_t N>
TableLayout SystemLayout(const SystemColumn (&columns)[N]) {
  std::vector<ColumnSpec> specs;
  for (const SystemColumn& c : columns)
    specs.push_back({Cp1252ToUtf16(c.name), c.type, c.length});
  return MakeLayout(std::move(specs));
}

struct SystemTable {
  const char* name;
  uint32_t tdef_page;
  TableLayout layout;
};

std::vector<SystemTable> SystemTables() {
  std::vector<SystemTable> t;
  t.push_back({"MSysObjects", kObjectsTdefPage, SystemLayout(kObjectsColumns)});
  t.push_back({"MSysACEs", kAcesTdefPage, SystemLayout(kAcesColumns)});
  t.push_back({"MSysQueries", kQueriesTdefPage, SystemLayout(kQueriesColumns)});
  t.push_back({"MSysRelationships", kRelationshipsTdefPage,
               SystemLayout(kRelationshipsColumns)});
  return t;
}

Status GeneralError(std::string message) {
  return sql::SqlError(sql::kGeneralError, std::move(message));
}

// Jet object names: 1 to 64 characters, no control characters, no leading
// blank.
Status CheckName(std::string_view name, const char* what) {
  if (name.empty()) return sql::SqlError(sql::kSyntaxError, std::string("Empty ") + what);
  if (name.size() > kMaxNameLength)
    return sql::SqlError(sql::kSyntaxError, std::string(what) + " '" +
                                                std::string(name) +
                                                "' is longer than 64 characters");
  bool control = false;
  for (char c : name) control |= static_cast<unsigned char>(c) < 0x20;
  if (control || name.front() == ' ')
    return sql::SqlError(sql::kSyntaxError, std::string(what) + " '" +
                                                std::string(name) +
                                                "' is not a valid name");
  return Status();
}

Result<JetType> UserType(const sql::ColumnDef& def, uint16_t* length) {
  *length = 0;
  switch (def.type) {
    case sql::ColumnType::kLong: return JetType::kLong;
    case sql::ColumnType::kShort: return JetType::kInteger;
    case sql::ColumnType::kByte: return JetType::kByte;
    case sql::ColumnType::kDouble: return JetType::kDouble;
    case sql::ColumnType::kSingle: return JetType::kSingle;
    case sql::ColumnType::kText: {
      const int chars = def.text_length.value_or(static_cast<int>(kMaxTextLength));
      if (chars < 1 || chars > static_cast<int>(kMaxTextLength)) {
        return sql::SqlError(sql::kSyntaxError,
                             "Size of field '" + def.name +
                                 "' must be from 1 to 255 characters");
      }
      *length = static_cast<uint16_t>(2 * chars);
      return JetType::kText;
    }
    case sql::ColumnType::kMemo: return JetType::kMemo;
    case sql::ColumnType::kDate: return JetType::kDateTime;
  }
  return GeneralError("Unknown column type");
}

double ClockDate() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  // 25569 days lie between 1899-12-30 and 1970-01-01.
  return 25569.0 + static_cast<double>(now + local.tm_gmtoff) / 86400.0;
}

struct LocaleInfo {
  uint16_t sort_order = kGeneralSortOrder;
  uint16_t code_page = 1252;
};

Result<LocaleInfo> ParseLocale(std::string_view locale) {
  LocaleInfo info;
  while (!locale.empty()) {
    size_t semi = locale.find(';');
    std::string_view part = locale.substr(0, semi);
    locale = semi == std::string_view::npos ? std::string_view()
                                            : locale.substr(semi + 1);
    if (part.empty()) continue;
    size_t eq = part.find('=');
    std::string_view key = part.substr(0, eq);
    std::string_view value =
        eq == std::string_view::npos ? std::string_view() : part.substr(eq + 1);
    int base = 10;
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
      value.remove_prefix(2);
      base = 16;
    }
    unsigned number = 0;
    auto [end, ec] =
        std::from_chars(value.data(), value.data() + value.size(), number, base);
    const bool numeric = ec == std::errc() && end == value.data() + value.size() &&
                         !value.empty() && number <= 0xFFFF;
    if (EqualsIgnoreAsciiCase(key, "LANGID") && numeric) {
      info.sort_order = static_cast<uint16_t>(number);
    } else if (EqualsIgnoreAsciiCase(key, "CP") && numeric && number == 1252) {
      info.code_page = 1252;
    } else if (EqualsIgnoreAsciiCase(key, "COUNTRY") && numeric) {
      // The country changes nothing in the file.
    } else {
      return GeneralError("Unsupported locale setting '" + std::string(part) + "'");
    }
  }
  return info;
}

Status RecordTooLarge(size_t bytes) {
  return GeneralError("Record is too large: " + std::to_string(bytes) +
                      " bytes, at most 4060 fit");
}

Status SizeLimitReached() {
  return GeneralError("The database has reached its size limit of 2 GB");
}

// The free-space map of `pages`: the last one, when it has room.
std::string FreeMapRow(const PageSet& pages, bool last_has_room, uint32_t first_data_page) {
  if (pages.empty() || !last_has_room) return InlineMapRow(first_data_page & ~7u, 0, 0);
  return InlineMapRow(pages.back() & ~7u, pages.back(), 1);
}

bool HasLongValues(const TableLayout& layout) {
  for (const ColumnLayout& col : layout.columns)
    if (IsLongValue(col.spec.type)) return true;
  return false;
}

// The usage-map rows of the user table and of the file.
struct MapRows {
  std::string used, free;            // the data pages
  std::string long_used, long_free;  // the long-value pages, shared by every memo column
  std::string global;                // the file's free pages
};

}  // namespace

// What working out an INSERT's row takes, reused from row to row: the
// database's own for Execute, and one per RowEncoder.
struct Database::RowEncoder::Scratch {
  uint64_t mapped_head = 0;  // of the INSERT value_of_column was made for
  sql::StatementParser parser;
  std::vector<int> value_of_column;  // index into the values, or -1
  std::vector<int> column_of_value;  // the other way round
  std::vector<size_t> unmapped;      // the columns no value goes to
  std::vector<Cell> cells;
  std::string unquoted;  // strings whose doubled quotes were undone
  std::string row;
};

class Database::Impl : public PageSink {
 public:
  Impl(Env* env, std::unique_ptr<FileReplacement> file, LocaleInfo locale,
       double creation_date)
      : env_(env),
        file_(std::move(file)),
        locale_(locale),
        creation_date_(creation_date),
        system_(SystemTables()),
        page_(0) {}

  Status Execute(std::string_view sql, int options);
  Status Close();
  bool CanEncodeRows() const { return table_created_ && !long_values_; }
  const TableLayout& layout() const { return layout_; }
  // An INSERT's cells into scratch->cells (and its column map), as Execute
  // would make them. Reads only the table's definition.
  Status ToCells(const sql::Insert& insert, RowEncoder::Scratch* scratch) const;
  // The cells of an INSERT with the head of `head`, the last one ToCells
  // mapped, from the text of its values (sql::ReadPlainValues), where each
  // value gives its cell as QuickCell; false, for ToCells to decide, where
  // any does not.
  bool CellsFromValues(const sql::Insert& head, std::string_view values,
                       RowEncoder::Scratch* scratch) const;
  Status AddEncodedRow(std::string_view row) {
    if (closed_) return GeneralError("The database is closed");
    if (!broken_.ok()) return broken_;
    return AddRow(row);
  }
  uint64_t row_count() const { return rows_; }

  // PageSink: the pages after the front pages, numbered in file order.
  uint32_t next_page() const override { return next_page_; }
  uint32_t ClaimPage() override { return next_page_++; }
  Status WritePage(uint32_t page, std::string_view bytes) override;

 private:
  Status CreateTable(const sql::CreateTable& create);
  Status Insert(const sql::Insert& insert);
  Status MapColumns(const sql::Insert& insert, RowEncoder::Scratch* scratch) const;
  // Memo cells become long values: kept in the row when short and
  // `allow_inline`, else marked for long-value pages. Returns the most pages
  // those take.
  uint64_t MarkMemos(bool allow_inline);
  // Encodes the row of a table with memo columns into row_. Long values are
  // stored only once the row is known to fit, so that a refused row leaves
  // nothing behind.
  Status PlaceMemos();
  Status AddRow(std::string_view row);
  Status WriteDataPage();
  Status Append(std::string_view pages);

  // The pages 0 .. kUserTdefPage + tdef pages - 1 for the given usage-map
  // rows.
  std::string FrontPages(const MapRows& rows) const;
  std::string CatalogPage() const;
  // A usage-map row listing `pages`, inline or through map pages it writes.
  Status UsageMapRow(const PageSet& pages, std::string* row);
  Status Finish();

  Env* env_;
  std::unique_ptr<FileReplacement> file_;
  LocaleInfo locale_;
  double creation_date_;
  std::vector<SystemTable> system_;

  bool closed_ = false;
  Status broken_;  // a failed write: the file can no longer be completed

  // The user table, once created.
  bool table_created_ = false;
  std::string table_name_;  // Windows-1252, as the statement gave it
  std::vector<std::string> column_names_;  // likewise
  TableLayout layout_;
  uint32_t tdef_pages_ = 0;
  uint32_t first_data_page_ = 0;
  uint32_t next_page_ = 0;     // the number the next page gets
  uint32_t written_pages_ = 0;  // pages in the file so far
  uint32_t map_page_reserve_ = kMapPageReserve;
  PageSet data_pages_;  // written so far
  uint64_t rows_ = 0;
  DataPage page_;
  std::unique_ptr<LongValuePages> long_values_;  // tables with memo columns

  // Reused from row to row.
  RowEncoder::Scratch scratch_;
  std::vector<Cell>& cells_ = scratch_.cells;
  std::string& row_ = scratch_.row;
  std::vector<std::string> memo_bytes_;  // per column: a memo's stored bytes
};

Status Database::Impl::Execute(std::string_view sql, int options) {
  if (options != 0 && options != kDbFailOnError)
    return GeneralError("Unsupported Execute option " + std::to_string(options));
  if (closed_) return GeneralError("The database is closed");
  if (!broken_.ok()) return broken_;
  auto statement = scratch_.parser.Parse(sql);
  if (!statement.ok()) return statement.status();
  if (auto* create = std::get_if<sql::CreateTable>(*statement))
    return CreateTable(*create);
  return Insert(std::get<sql::Insert>(**statement));
}

Status Database::Impl::CreateTable(const sql::CreateTable& create) {
  Status s = CheckName(create.table, "Table name");
  if (!s.ok()) return s;
  for (const SystemTable& t : system_) {
    if (EqualsIgnoreAsciiCase(create.table, t.name))
      return sql::SqlError(sql::kTableExists, "Table '" + create.table + "' already exists");
  }
  if (table_created_) {
    if (EqualsIgnoreAsciiCase(create.table, table_name_))
      return sql::SqlError(sql::kTableExists, "Table '" + create.table + "' already exists");
    return GeneralError("The database already holds its one table '" + table_name_ + "'");
  }
  if (create.columns.empty() || create.columns.size() > kMaxColumns)
    return GeneralError("A table has 1 to 255 fields");

  std::vector<ColumnSpec> specs;
  for (size_t i = 0; i < create.columns.size(); ++i) {
    const sql::ColumnDef& def = create.columns[i];
    s = CheckName(def.name, "Field name");
    if (!s.ok()) return s;
    for (size_t j = 0; j < i; ++j) {
      if (EqualsIgnoreAsciiCase(def.name, create.columns[j].name))
        return sql::SqlError("42S21", "Field '" + def.name + "' is defined twice");
    }
    uint16_t length;
    auto type = UserType(def, &length);
    if (!type.ok()) return type.status();
    specs.push_back({Cp1252ToUtf16(def.name), *type, length});
  }

  table_name_ = create.table;
  column_names_.clear();
  for (const sql::ColumnDef& def : create.columns) column_names_.push_back(def.name);
  layout_ = MakeLayout(std::move(specs));
  tdef_pages_ = TableDefPageCount(BuildTableDef(layout_, {}).size());
  first_data_page_ = kUserTdefPage + tdef_pages_;
  page_ = DataPage(kUserTdefPage);
  const std::string empty = InlineMapRow(first_data_page_ & ~7u, 0, 0);
  s = Append(FrontPages({empty, empty, empty, empty, InlineFreeTailRow(0, first_data_page_)}));
  if (!s.ok()) return s;
  written_pages_ = next_page_ = first_data_page_;
  if (HasLongValues(layout_)) {
    long_values_ = std::make_unique<LongValuePages>(this);
    map_page_reserve_ = kMapPageReserve + kLongValueMapPageReserve;
  }
  table_created_ = true;
  cells_.assign(layout_.columns.size(), Cell());
  memo_bytes_.assign(layout_.columns.size(), std::string());
  return Status();
}

// Which value goes into which column. The writer sends the same column list
// with every INSERT, so the mapping of the last one's head is kept.
Status Database::Impl::MapColumns(const sql::Insert& insert,
                                  RowEncoder::Scratch* scratch) const {
  if (insert.head_id != 0 && insert.head_id == scratch->mapped_head &&
      (!insert.columns.empty() || insert.values.size() == layout_.columns.size()))
    return Status();
  scratch->mapped_head = 0;
  const size_t n = layout_.columns.size();
  std::vector<int> map(n, -1);
  if (insert.columns.empty()) {
    if (insert.values.size() != n) {
      return sql::SqlError(sql::kCountMismatch,
                           "Number of query values and destination fields are not the same");
    }
    for (size_t i = 0; i < n; ++i) map[i] = static_cast<int>(i);
  }
  for (size_t v = 0; v < insert.columns.size(); ++v) {
    const std::string& name = insert.columns[v];
    size_t i = 0;
    while (i < n && !EqualsIgnoreAsciiCase(name, column_names_[i])) ++i;
    if (i == n) {
      return sql::SqlError(sql::kColumnNotFound, "Unknown field name '" + name +
                                                     "' in table '" + table_name_ + "'");
    }
    if (map[i] >= 0) {
      return sql::SqlError(sql::kSyntaxError, "Field '" + name +
                                                  "' is named more than once");
    }
    map[i] = static_cast<int>(v);
  }
  scratch->column_of_value.assign(insert.values.size(), -1);
  scratch->unmapped.clear();
  for (size_t i = 0; i < n; ++i) {
    if (map[i] < 0) scratch->unmapped.push_back(i);
    else scratch->column_of_value[static_cast<size_t>(map[i])] = static_cast<int>(i);
  }
  scratch->value_of_column = std::move(map);
  scratch->mapped_head = insert.head_id;
  return Status();
}

bool Database::Impl::CellsFromValues(const sql::Insert& head, std::string_view values,
                                     RowEncoder::Scratch* scratch) const {
  if (head.head_id == 0 || head.head_id != scratch->mapped_head || head.columns.empty() ||
      scratch->cells.size() != layout_.columns.size())
    return false;
  static const Cell kNullCell;
  for (size_t i : scratch->unmapped) scratch->cells[i] = kNullCell;
  // Room for every string undone at once: the cells point into it.
  std::string& unquoted = scratch->unquoted;
  unquoted.clear();
  unquoted.reserve(values.size());
  // Inlined: a call for each value costs more than most values' work.
  auto take = [&](size_t v, const sql::Value& value, bool doubled) __attribute__((always_inline)) {
    const int i = scratch->column_of_value[v];
    if (i < 0) return false;
    Cell* const cell = &scratch->cells[static_cast<size_t>(i)];
    const ColumnSpec& spec = layout_.columns[static_cast<size_t>(i)].spec;
    if (!doubled) return QuickCell(value, spec, cell);
    sql::Value text = value;
    const size_t start = unquoted.size();
    unquoted.resize(start + value.text.size());
    unquoted.resize(start + sql::UndoubleQuotes(value.text, unquoted.data() + start));
    text.text = std::string_view(unquoted.data() + start, unquoted.size() - start);
    return QuickCell(text, spec, cell);
  };
  return sql::ReadPlainValues(values, scratch->column_of_value.size(), take);
}

Status Database::Impl::ToCells(const sql::Insert& insert, RowEncoder::Scratch* scratch) const {
  if (!table_created_ || !EqualsIgnoreAsciiCase(insert.table, table_name_)) {
    return sql::SqlError(sql::kTableNotFound,
                         "Table '" + insert.table + "' not found");
  }
  Status s = MapColumns(insert, scratch);
  if (!s.ok()) return s;
  static const Cell kNullCell;  // copied, not built on the stack for every column
  scratch->cells.resize(layout_.columns.size());
  for (size_t i = 0; i < scratch->cells.size(); ++i) {
    const int v = scratch->value_of_column[i];
    if (v < 0) {
      scratch->cells[i] = kNullCell;
      continue;
    }
    const sql::Value& value = insert.values[v];
    if (QuickCell(value, layout_.columns[i].spec, &scratch->cells[i])) continue;
    s = ToCell(value, layout_.columns[i].spec, &scratch->cells[i]);
    if (!s.ok()) return s;
  }
  return Status();
}

Status Database::Impl::Insert(const sql::Insert& insert) {
  Status s = ToCells(insert, &scratch_);
  if (!s.ok()) return s;
  if (long_values_) {
    s = PlaceMemos();
    if (!s.ok()) return s;
  } else {
    EncodeRow(layout_, cells_, &row_);
    if (row_.size() > kMaxRowSize) return RecordTooLarge(row_.size());
  }
  return AddRow(row_);
}

uint64_t Database::Impl::MarkMemos(bool allow_inline) {
  uint64_t pages = 0;
  for (size_t i = 0; i < cells_.size(); ++i) {
    Cell& cell = cells_[i];
    if (!IsLongValue(layout_.columns[i].spec.type) || cell.kind == Cell::Kind::kNull) continue;
    std::string& bytes = memo_bytes_[i];
    if (cell.kind == Cell::Kind::kText) {
      bytes.clear();
      AppendMemoText(cell.text, &bytes);
      cell.kind = Cell::Kind::kLongValue;
      cell.text = bytes;
      cell.long_value.length = static_cast<uint32_t>(bytes.size());
    }
    const bool in_row = bytes.empty() || (allow_inline && bytes.size() <= kMaxInlineLongValue);
    cell.long_value.kind = in_row ? LongValueKind::kInline : LongValueKind::kOtherPage;
    if (!in_row) pages += LongValuePages::MaxPagesFor(bytes.size());
  }
  return pages;
}

Status Database::Impl::PlaceMemos() {
  uint64_t pages = MarkMemos(true);
  EncodeRow(layout_, cells_, &row_);
  if (row_.size() > kMaxRowSize) {
    // Many short memos: each takes less room as a reference.
    pages = MarkMemos(false);
    EncodeRow(layout_, cells_, &row_);
    if (row_.size() > kMaxRowSize) return RecordTooLarge(row_.size());
  }
  if (pages == 0) return Status();
  if (next_page_ + pages + 1 + map_page_reserve_ >= kMaxPages) return SizeLimitReached();
  for (size_t i = 0; i < cells_.size(); ++i) {
    Cell& cell = cells_[i];
    if (cell.kind != Cell::Kind::kLongValue || cell.long_value.kind == LongValueKind::kInline)
      continue;
    auto ref = long_values_->Store(memo_bytes_[i]);
    if (!ref.ok()) return ref.status();
    cell.long_value = *ref;
  }
  EncodeRow(layout_, cells_, &row_);  // the same size, now with the row pointers
  return Status();
}

Status Database::Impl::AddRow(std::string_view row) {
  if (page_.Add(row)) {
    ++rows_;
    return Status();
  }
  // The page is full: it goes to disk and the row starts a new one.
  if (next_page_ + 1 + map_page_reserve_ >= kMaxPages)
    return SizeLimitReached();
  Status s = WriteDataPage();
  if (!s.ok()) return s;
  page_.Reset();
  page_.Add(row);  // fits: an empty page takes any row of up to 4060 bytes
  ++rows_;
  return Status();
}

Status Database::Impl::WriteDataPage() {
  // An open long-value page has the lower number: it goes first.
  if (long_values_) {
    Status s = long_values_->Flush();
    if (!s.ok()) return s;
  }
  const uint32_t page = ClaimPage();
  Status s = WritePage(page, page_.bytes());
  if (s.ok()) data_pages_.Add(page);
  return s;
}

Status Database::Impl::WritePage(uint32_t page, std::string_view bytes) {
  if (page != written_pages_) {
    broken_ = GeneralError("Pages out of order: page " + std::to_string(page) +
                           " written as page " + std::to_string(written_pages_));
    return broken_;
  }
  Status s = Append(bytes);
  if (s.ok()) ++written_pages_;
  return s;
}

Status Database::Impl::Append(std::string_view pages) {
  Status s = file_->file()->Append(pages);
  if (!s.ok()) {
    broken_ = GeneralError("Cannot write the database file: " + s.message());
    return broken_;
  }
  return Status();
}

std::string Database::Impl::CatalogPage() const {
  struct Entry {
    int32_t id;
    int32_t parent;
    std::string_view name;
    int16_t type;
    int32_t flags;
  };
  const Entry entries[] = {
      {kTablesId, kRootId, "Tables", kTypeContainer, kSystemFlag},
      {kDatabasesId, kRootId, "Databases", kTypeContainer, kSystemFlag},
      {kRelationshipsId, kRootId, "Relationships", kTypeContainer, kSystemFlag},
      {kMSysDbId, kDatabasesId, "MSysDb", kTypeDatabase, kSystemFlag},
      {kObjectsTdefPage, kTablesId, "MSysObjects", kTypeTable, kSystemFlag},
      {kAcesTdefPage, kTablesId, "MSysACEs", kTypeTable, kSystemFlag},
      {kQueriesTdefPage, kTablesId, "MSysQueries", kTypeTable, kSystemFlag},
      {kRelationshipsTdefPage, kTablesId, "MSysRelationships", kTypeTable, kSystemFlag},
      {kUserTdefPage, kTablesId, table_name_, kTypeTable, 0},
  };
  const TableLayout& layout = system_[0].layout;
  DataPage page(kObjectsTdefPage);
  std::vector<Cell> cells(layout.columns.size());
  std::string row;
  for (const Entry& e : entries) {
    auto integer = [](int64_t v) {
      Cell c;
      c.kind = Cell::Kind::kInteger;
      c.integer = v;
      return c;
    };
    Cell date;
    date.kind = Cell::Kind::kDouble;
    date.real = creation_date_;
    Cell name;
    name.kind = Cell::Kind::kText;
    name.text = e.name;
    cells.assign(layout.columns.size(), Cell());
    cells[0] = integer(e.id);
    cells[1] = integer(e.parent);
    cells[2] = name;
    cells[3] = integer(e.type);
    cells[4] = date;
    cells[5] = date;
    cells[7] = integer(e.flags);
    EncodeRow(layout, cells, &row);
    page.Add(row);
  }
  return page.bytes();
}

std::string Database::Impl::FrontPages(const MapRows& rows) const {
  // Page 6 holds the usage maps: the catalog owns page 7, every other
  // system table and every long-value column of theirs owns nothing.
  DataPage maps(0);
  auto add_map = [&](const std::string& row) {
    const uint32_t pointer = RowPointer(kMapsPage, static_cast<uint8_t>(maps.num_rows()));
    maps.Add(row);
    return pointer;
  };
  const std::string empty = InlineMapRow(0, 0, 0);
  std::string pages;
  std::string tdefs;
  for (const SystemTable& t : system_) {
    TableDefInfo info;
    info.system = true;
    const bool catalog = t.tdef_page == kObjectsTdefPage;
    info.num_rows = catalog ? 9 : 0;
    const std::string own = catalog ? InlineMapRow(0, kObjectsDataPage, 1) : empty;
    info.used_map = add_map(own);
    info.free_map = add_map(own);
    for (const ColumnLayout& c : t.layout.columns) {
      if (IsLongValue(c.spec.type))
        info.long_value_maps.push_back({add_map(empty), add_map(empty)});
    }
    tdefs += SplitTableDef(BuildTableDef(t.layout, info), t.tdef_page).at(0);
  }
  TableDefInfo user;
  user.num_rows = static_cast<uint32_t>(rows_);
  user.used_map = add_map(rows.used);
  user.free_map = add_map(rows.free);
  if (long_values_) {
    // The memo columns share one run of long-value pages, and so one pair of
    // maps: a pair for each would not fit page 6 for a table of many memos.
    const std::array<uint32_t, 2> shared = {add_map(rows.long_used), add_map(rows.long_free)};
    for (const ColumnLayout& c : layout_.columns)
      if (IsLongValue(c.spec.type)) user.long_value_maps.push_back(shared);
  }

  HeaderInfo header;
  header.code_page = locale_.code_page;
  header.sort_order = locale_.sort_order;
  header.creation_date = creation_date_;
  pages += BuildHeaderPage(header);
  DataPage global(0);
  global.Add(rows.global);
  global.Add(empty);
  pages += global.bytes();
  pages += tdefs;
  pages += maps.bytes();
  pages += CatalogPage();
  for (const std::string& p : SplitTableDef(BuildTableDef(layout_, user), kUserTdefPage))
    pages += p;
  return pages;
}

Status Database::Impl::UsageMapRow(const PageSet& pages, std::string* row) {
  const uint32_t start = (pages.empty() ? first_data_page_ : pages.front()) & ~7u;
  if (pages.empty() || pages.back() - start < kInlineMapPages) {
    *row = InlineMapRow(start, pages);
    return Status();
  }
  std::array<uint32_t, kReferenceSlots> slots{};
  for (uint32_t k = pages.front() / kPagesPerMapPage; k <= pages.back() / kPagesPerMapPage; ++k) {
    slots[k] = ClaimPage();
    Status s = WritePage(slots[k], UsageMapPage(k, pages));
    if (!s.ok()) return s;
  }
  *row = ReferenceMapRow(slots);
  return Status();
}

// Writes the last pages and the usage maps, then rewrites the front pages
// with the final row count and maps.
Status Database::Impl::Finish() {
  Status s;
  bool last_has_room = false;
  if (page_.num_rows() > 0) {
    last_has_room = page_.free_space() > 0;
    s = WriteDataPage();
  } else if (long_values_) {
    s = long_values_->Flush();
  }
  if (!s.ok()) return s;

  MapRows rows;
  s = UsageMapRow(data_pages_, &rows.used);
  if (!s.ok()) return s;
  rows.free = FreeMapRow(data_pages_, last_has_room, first_data_page_);
  if (long_values_) {
    s = UsageMapRow(long_values_->pages(), &rows.long_used);
    if (!s.ok()) return s;
    rows.long_free = FreeMapRow(long_values_->pages(), long_values_->last_has_room(),
                                first_data_page_);
  }

  // The database's own map marks the pages past the end of the file as free.
  const uint32_t next = next_page_;
  if (next <= kInlineMapPages) {
    rows.global = InlineFreeTailRow(0, next);
  } else {
    uint32_t map_pages = 0;
    while (true) {
      const uint32_t total = next + map_pages;
      const uint32_t need = (total + kPagesPerMapPage - 1) / kPagesPerMapPage;
      if (need == map_pages) break;
      map_pages = need;
    }
    const uint32_t total = next + map_pages;
    std::array<uint32_t, kReferenceSlots> slots{};
    for (uint32_t k = 0; k < map_pages; ++k) {
      slots[k] = ClaimPage();
      s = WritePage(slots[k], UsageMapPage(k, total, map_pages * kPagesPerMapPage - total));
      if (!s.ok()) return s;
    }
    rows.global = ReferenceMapRow(slots);
  }

  s = file_->file()->Close();
  if (!s.ok()) return GeneralError("Cannot write the database file: " + s.message());
  auto front = env_->OpenWritable(file_->temp_path(), WriteMode::kOverwriteStart);
  if (!front.ok())
    return GeneralError("Cannot write the database file: " + front.status().message());
  s = (*front)->Append(FrontPages(rows));
  Status c = (*front)->Close();
  if (s.ok()) s = c;
  if (!s.ok()) return GeneralError("Cannot write the database file: " + s.message());
  s = file_->Commit();
  if (!s.ok()) return GeneralError("Cannot create the database file: " + s.message());
  return Status();
}

Status Database::Impl::Close() {
  if (closed_) return Status();
  closed_ = true;
  if (!table_created_ || !broken_.ok()) {
    file_->Abandon();
    return broken_;
  }
  Status s = Finish();
  if (!s.ok()) file_->Abandon();
  return s;
}

Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Database::~Database() = default;

Status Database::Execute(std::string_view sql, int options) {
  return impl_->Execute(sql, options);
}
Status Database::Close() { return impl_->Close(); }

Database::RowEncoder::RowEncoder(const Impl& db) : db_(db), scratch_(std::make_unique<Scratch>()) {}
Database::RowEncoder::~RowEncoder() = default;

bool Database::RowEncoder::Encode(std::string_view sql, std::string* row) {
  // An export's INSERTs repeat their head; their values may not need parsing.
  if (auto repeated = scratch_->parser.RepeatedHead(sql);
      repeated && db_.CellsFromValues(*repeated->head, repeated->values, scratch_.get())) {
    EncodeRow(db_.layout(), scratch_->cells, row);
    return row->size() <= kMaxRowSize;
  }
  auto statement = scratch_->parser.Parse(sql);
  if (!statement.ok()) return false;
  const auto* insert = std::get_if<sql::Insert>(*statement);
  if (insert == nullptr || !db_.ToCells(*insert, scratch_.get()).ok()) return false;
  EncodeRow(db_.layout(), scratch_->cells, row);
  return row->size() <= kMaxRowSize;
}

std::unique_ptr<Database::RowEncoder> Database::NewRowEncoder() const {
  if (!impl_->CanEncodeRows()) return nullptr;
  return std::make_unique<RowEncoder>(*impl_);
}

Status Database::AddEncodedRow(std::string_view row) { return impl_->AddEncodedRow(row); }
uint64_t Database::row_count() const { return impl_->row_count(); }

Workspace::Workspace(EngineOptions options) : options_(options) {
  if (options_.env == nullptr) options_.env = Env::Default();
}

Result<std::unique_ptr<Database>> Workspace::CreateDatabase(
    const std::string& path, std::string_view locale, int options) {
  if (options != 0 && options != kDbVersion40)
    return GeneralError("Unsupported database option " + std::to_string(options));
  auto info = ParseLocale(locale);
  if (!info.ok()) return info.status();
  if (path.empty()) return GeneralError("No database file name given");
  auto file = FileReplacement::Begin(options_.env, path);
  if (!file.ok()) {
    return GeneralError("Cannot create the database file '" + path +
                        "': " + file.status().message());
  }
  const double date = options_.creation_date >= 0 ? options_.creation_date : ClockDate();
  return std::make_unique<Database>(std::make_unique<Database::Impl>(
      options_.env, std::move(file).value(), *info, date));
}

}  // namespace rh::mdb
