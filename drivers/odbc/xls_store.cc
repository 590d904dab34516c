// The Excel driver: one worksheet table per workbook.
//
// The workbook is CREATE_DB, or DBQ when CREATE_DB is absent. It is always a
// new workbook: DBQ alone may not name an existing file (this driver does
// not read workbooks), while CREATE_DB replaces an existing file when the
// connection closes, and only if a table was created. The table may have any
// name that suits a sheet and a defined name (KVTdatatool for our export);
// both carry it. FIRSTROWHASNAMES must be absent or true: the column names
// always fill row 1.
#include <sql.h>
#include <sqlext.h>
#include <sys/stat.h>

#include "base/file_replacement.h"
#include "base/paths.h"
#include "drivers/odbc/table_schema.h"
#include "drivers/odbc/table_store.h"
#include "drivers/xls/xls_writer.h"

namespace rh::odbc {

namespace {

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.empty() ? "." : path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

class XlsStore : public TableStore {
 public:
  XlsStore(std::string path, bool read_only)
      : path_(std::move(path)), read_only_(read_only) {}

  Status CreateTable(const sql::CreateTable& create) override;
  Status Insert(const sql::Insert& insert) override;
  Status Close() override;
  std::string database_name() const override { return path_; }

 private:
  std::string path_;
  bool read_only_;
  std::unique_ptr<TableSchema> schema_;
  std::unique_ptr<xls::SheetWriter> sheet_;
  std::unique_ptr<FileReplacement> file_;
  std::vector<int> value_of_;     // reused by every INSERT
  std::vector<xls::Cell> cells_;  // likewise
  std::vector<std::string> texts_;  // dates written as text, for cells_
};

// A date as a cell: a date cell from 1900-03-01 on; before it a text
// MM/DD/YYYY, since spreadsheet programs disagree about the serial numbers
// of January and February 1900.
xls::Cell DateCell(const CalendarDate& date, std::string* text) {
  const int64_t serial = DaysFrom1899(date);
  if (serial >= kFirstSharedSpreadsheetDay) return xls::Cell::Date(static_cast<double>(serial));
  *text = UsDate(date);
  return xls::Cell::Text(*text);
}

Status XlsStore::CreateTable(const sql::CreateTable& create) {
  if (read_only_) return sql::SqlError("HY000", "the connection is read-only");
  if (schema_) {
    if (EqualsIgnoreAsciiCase(schema_->table(), create.table))
      return sql::SqlError(sql::kTableExists, "table " + create.table + " already exists");
    return sql::SqlError("HY000", "a workbook written by this driver holds one table");
  }
  auto schema = TableSchema::Create(create);
  if (!schema.ok()) return schema.status();
  std::vector<std::string> names;
  for (const sql::ColumnDef& col : create.columns) {
    if (col.text_length && (*col.text_length < 1 ||
                            *col.text_length > static_cast<int>(xls::kMaxTextLength)))
      return sql::SqlError("HY104", "invalid length for TEXT column " + col.name);
    names.push_back(col.name);
  }
  bool dates = false;
  for (const sql::ColumnDef& col : create.columns) dates |= col.type == sql::ColumnType::kDate;
  auto sheet = xls::SheetWriter::Create(create.table, names, dates);
  if (!sheet.ok()) return sheet.status();
  auto file = FileReplacement::Begin(Env::Default(), path_);
  if (!file.ok())
    return sql::SqlError("HY000", "cannot create a file beside " + path_ + ": " +
                                      file.status().message());
  schema_ = std::make_unique<TableSchema>(std::move(*schema));
  sheet_ = std::move(*sheet);
  file_ = std::move(*file);
  return Status();
}

Status XlsStore::Insert(const sql::Insert& insert) {
  if (!schema_ || !EqualsIgnoreAsciiCase(schema_->table(), insert.table))
    return sql::SqlError(sql::kTableNotFound, "no table " + insert.table);
  if (read_only_) return sql::SqlError("HY000", "the connection is read-only");
  Status s = schema_->MapInsert(insert, &value_of_);
  if (!s.ok()) return s;
  const auto& columns = schema_->columns();
  cells_.assign(columns.size(), xls::Cell());
  texts_.resize(columns.size());
  for (size_t c = 0; c < columns.size(); ++c) {
    if (value_of_[c] < 0) continue;
    auto v = ConvertValue(insert.values[static_cast<size_t>(value_of_[c])],
                          columns[c], xls::kMaxTextLength);
    if (!v.ok()) return v.status();
    switch (v->kind) {
      case ColumnValue::Kind::kNull: break;
      case ColumnValue::Kind::kInteger:
        cells_[c] = xls::Cell::Number(static_cast<double>(v->integer));
        break;
      case ColumnValue::Kind::kReal: cells_[c] = xls::Cell::Number(v->real); break;
      case ColumnValue::Kind::kText: cells_[c] = xls::Cell::Text(v->text); break;
      case ColumnValue::Kind::kDate: cells_[c] = DateCell(v->date, &texts_[c]); break;
    }
  }
  return sheet_->AddRow(cells_);
}

Status XlsStore::Close() {
  if (!file_) return Status();
  Status s = sheet_->Write(file_->file());
  if (s.ok()) s = file_->Commit();
  else file_->Abandon();
  file_.reset();
  sheet_.reset();
  if (!s.ok()) return sql::SqlError("HY000", "cannot write " + path_ + ": " + s.message());
  return s;
}

}  // namespace

const DriverInfo& ThisDriver() {
  static constexpr DriverInfo kInfo = {"Excel driver", "EXCEL",
                                       "librecordhaul_xls_odbc.so", xls::kMaxColumns,
                                       SQL_FILE_CATALOG};
  return kInfo;
}

Result<std::unique_ptr<TableStore>> OpenTableStore(const ConnectionAttributes& attrs) {
  auto create_db = attrs.Get("CREATE_DB");
  auto dbq = attrs.Get("DBQ");
  bool create = create_db && !create_db->empty();
  std::string path = create ? *create_db : dbq.value_or("");
  if (path.empty())
    return sql::SqlError("08001", "no workbook named: give CREATE_DB or DBQ");
  auto names_row = attrs.Get("FIRSTROWHASNAMES");
  if (names_row && !IsTrueValue(*names_row))
    return sql::SqlError("HYC00", "the column names always fill the first row");
  if (!IsDirectory(std::string(DirName(path))))
    return sql::SqlError("08001", "'" + path + "' is not a valid path: no such folder");
  if (IsDirectory(path))
    return sql::SqlError("08001", "'" + path + "' is a folder, not a workbook");
  if (!create && Exists(path))
    return sql::SqlError("08001", "'" + path +
                                      "' exists; this driver only writes new "
                                      "workbooks (name it in CREATE_DB to replace it)");
  auto read_only = attrs.Get("READONLY");
  return std::unique_ptr<TableStore>(
      new XlsStore(std::move(path), read_only && IsTrueValue(*read_only)));
}

}  // namespace rh::odbc
