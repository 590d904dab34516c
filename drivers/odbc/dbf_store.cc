// The dBase driver: each table is a .dbf file in the DBQ folder.
//
// The table name of CREATE TABLE and INSERT is the file name within DBQ,
// taken as given ("export.dbf" is DBQ/export.dbf); a name without an
// extension gets ".dbf". With DBQ empty the table name is the path itself.
// INSERT finds a table created on this connection by name, ignoring ASCII
// case. Tables are only ever created: CREATE TABLE of an existing file
// replaces it when the connection closes; INSERT into a file that this
// connection did not create is refused.
//
// Column types: LONG, SHORT and BYTE become N(11), N(6) and N(3); DOUBLE
// N(19,6) and SINGLE N(19,4); TEXT(n) is C(n) and TEXT C(254); DATE is D. A TEXT(n) of
// more than 254 is created as C(254), dBase's widest character field; a
// longer value then fails its INSERT with 22001, as does a text longer than
// its field. A real number too wide for all the decimals of its field keeps
// as many as fit; one whose whole part does not fit fails with 22003, as
// does an integer that does not fit. MEMO columns are refused.
#include <sql.h>
#include <sqlext.h>
#include <sys/stat.h>

#include <optional>
#include <string_view>

#include "base/bytes.h"
#include "base/file_replacement.h"
#include "base/paths.h"
#include "drivers/dbf/dbf_writer.h"
#include "drivers/odbc/dbf_number_text.h"
#include "drivers/odbc/table_schema.h"
#include "drivers/odbc/table_store.h"

namespace rh::odbc {

namespace {

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

dbf::Field FieldFor(const sql::ColumnDef& col) {
  dbf::Field f;
  f.name = col.name;
  f.type = 'N';
  switch (col.type) {
    case sql::ColumnType::kLong: f.width = 11; break;
    case sql::ColumnType::kShort: f.width = 6; break;
    case sql::ColumnType::kByte: f.width = 3; break;
    case sql::ColumnType::kDouble: f.width = 19; f.decimals = 6; break;
    case sql::ColumnType::kSingle: f.width = 19; f.decimals = 4; break;
    case sql::ColumnType::kDate: f.type = 'D'; f.width = 8; break;
    case sql::ColumnType::kText:
    case sql::ColumnType::kMemo:  // refused by TableSchema::Create
      f.type = 'C';
      f.width = col.text_length ? std::min(*col.text_length, dbf::kMaxCharWidth)
                                : dbf::kMaxCharWidth;
      break;
  }
  return f;
}

struct Table {
  TableSchema schema;
  std::string name;  // as its CREATE TABLE gave it, extension added
  std::unique_ptr<FileReplacement> file;
  std::unique_ptr<dbf::Writer> writer;
};

class DbfStore : public TableStore {
 public:
  DbfStore(std::string folder, bool read_only)
      : folder_(std::move(folder)), read_only_(read_only) {}

  Status CreateTable(const sql::CreateTable& create) override;
  Status Insert(const sql::Insert& insert) override;
  std::optional<Status> InsertValues(const sql::Insert& head, std::string_view values) override;
  Status Close() override;
  std::string database_name() const override { return folder_; }

 private:
  // The export works the destination file out with the same function.
  static std::string FileName(const std::string& table) {
    return WithDefaultExtension(table, ".dbf");
  }
  std::string PathOf(const std::string& file_name) const {
    if (folder_.empty()) return file_name;
    if (folder_.back() == '/') return folder_ + file_name;
    return JoinPath(folder_, file_name);
  }
  Table* Find(const std::string& file_name) {
    for (auto& t : tables_)
      if (EqualsIgnoreAsciiCase(t->name, file_name)) return t.get();
    return nullptr;
  }

  std::string folder_;
  bool read_only_;
  std::vector<std::unique_ptr<Table>> tables_;
  // Where a column's value comes from and goes to, worked out with the
  // mapping of an INSERT's columns.
  struct ColumnPlan {
    int value;       // its index in the INSERT's values, or -1: none
    size_t offset;   // of its field in the record
    size_t width;    // of its field
    bool text;       // a TEXT column
    DbfNumberColumn number;
  };
  void PlanColumns(const Table& table, size_t value_count);

  // The table and plan_ of the last INSERT's head (its text up to VALUES),
  // which an export sends with every INSERT.
  uint64_t mapped_head_ = 0;
  Table* mapped_table_ = nullptr;
  std::vector<int> value_of_;         // reused by every INSERT
  std::vector<ColumnPlan> plan_;      // likewise
  std::vector<int> column_of_value_;  // likewise: the plan's column of each value, or -1
  std::vector<std::pair<size_t, dbf::Value>> rest_;  // likewise
};

void DbfStore::PlanColumns(const Table& table, size_t value_count) {
  const auto& columns = table.schema.columns();
  const auto& fields = table.writer->fields();
  plan_.clear();
  column_of_value_.assign(value_count, -1);
  for (size_t c = 0; c < columns.size(); ++c) {
    plan_.push_back({value_of_[c], table.writer->field_offset(c),
                     static_cast<size_t>(fields[c].width),
                     columns[c].type == sql::ColumnType::kText,
                     DbfNumberColumnOf(columns[c].type, fields[c])});
    if (value_of_[c] >= 0 && static_cast<size_t>(value_of_[c]) < value_count)
      column_of_value_[static_cast<size_t>(value_of_[c])] = static_cast<int>(c);
  }
}

Status DbfStore::CreateTable(const sql::CreateTable& create) {
  if (read_only_) return sql::SqlError("HY000", "the connection is read-only");
  std::string name = FileName(create.table);
  if (Find(name)) return sql::SqlError(sql::kTableExists, "table " + name + " already exists");
  if (BaseName(name).empty() || BaseName(name) == "." || BaseName(name) == "..")
    return sql::SqlError(sql::kSyntaxError, "'" + create.table + "' is not a file name");
  auto schema = TableSchema::Create(create);
  if (!schema.ok()) return schema.status();
  std::vector<dbf::Field> fields;
  for (const sql::ColumnDef& col : create.columns) {
    if (col.text_length && *col.text_length < 1)
      return sql::SqlError("HY104", "invalid length for TEXT column " + col.name);
    fields.push_back(FieldFor(col));
  }
  Status s = dbf::CheckFields(fields);
  if (!s.ok()) return s;
  std::string path = PathOf(name);
  if (IsDirectory(path)) return sql::SqlError("HY000", "'" + path + "' is a folder");
  auto file = FileReplacement::Begin(Env::Default(), path);
  if (!file.ok())
    return sql::SqlError("HY000", "cannot create a file beside " + path + ": " +
                                      file.status().message());
  auto writer = dbf::Writer::Create(Env::Default(), (*file)->temp_path(),
                                    (*file)->file(), std::move(fields));
  if (!writer.ok()) return writer.status();  // the replacement removes its file
  tables_.push_back(std::unique_ptr<Table>(new Table{
      std::move(*schema), std::move(name), std::move(*file), std::move(*writer)}));
  return Status();
}

Status DbfStore::Insert(const sql::Insert& insert) {
  // The head names the columns, so its mapping holds whatever the values.
  Table* t = mapped_table_;
  if (insert.head_id == 0 || insert.head_id != mapped_head_ || insert.columns.empty()) {
    mapped_head_ = 0;
    std::string name = FileName(insert.table);
    t = Find(name);
    if (!t) {
      if (Env::Default()->Exists(ResolveIgnoringCase(Env::Default(),
                                                     folder_.empty() ? "." : folder_, name)))
        return sql::SqlError("HYC00", "this driver only inserts into tables it created "
                                      "on the same connection");
      return sql::SqlError(sql::kTableNotFound, "no table " + insert.table);
    }
    if (read_only_) return sql::SqlError("HY000", "the connection is read-only");
    Status s = t->schema.MapInsert(insert, &value_of_);
    if (!s.ok()) return s;
    PlanColumns(*t, insert.values.size());
    mapped_head_ = insert.head_id;
    mapped_table_ = t;
  }
  // Texts that fit and numbers as their literals give are written straight
  // into the record; they cannot fail. The other values are converted first
  // and formatted by the writer, so that their failures come in the order
  // they always have: a conversion's, the writer's own, a field's.
  char* const record = t->writer->BeginRecord();
  const sql::Value* const values = insert.values.data();
  rest_.clear();
  for (size_t c = 0; c < plan_.size(); ++c) {
    const ColumnPlan& column = plan_[c];
    if (column.value < 0) continue;
    const sql::Value& value = values[column.value];
    if (value.kind == sql::Value::Kind::kNull) continue;
    char* const out = record + column.offset;
    if (column.text && value.text.size() <= column.width) {
      CopyShort(out, value.text.data(), value.text.size());
      continue;
    }
    if (DbfNumberText(value, column.number, out) != 0) continue;
    auto v = ConvertValue(value, t->schema.columns()[c], static_cast<size_t>(dbf::kMaxCharWidth));
    if (!v.ok()) return v.status();
    switch (v->kind) {
      case ColumnValue::Kind::kNull: break;
      case ColumnValue::Kind::kInteger: rest_.emplace_back(c, dbf::Value::Integer(v->integer)); break;
      case ColumnValue::Kind::kReal: rest_.emplace_back(c, dbf::Value::Real(v->real)); break;
      case ColumnValue::Kind::kText: rest_.emplace_back(c, dbf::Value::Text(v->text)); break;
      case ColumnValue::Kind::kDate: rest_.emplace_back(c, dbf::Value::Date(v->date)); break;
    }
  }
  return t->writer->AddRecord(rest_);
}

// The value list as an export sends it (sql::ReadPlainValues), each a
// string that fits its TEXT column or a plain number that DbfNumberText
// writes into its N field: each goes into its field as Insert() would write
// it. Anything else, and any value that could fail, is left to the parser
// and Insert(), with nothing done.
std::optional<Status> DbfStore::InsertValues(const sql::Insert& head, std::string_view values) {
  if (head.head_id == 0 || head.head_id != mapped_head_ || head.columns.empty())
    return std::nullopt;
  Table* const t = mapped_table_;
  char* const record = t->writer->BeginRecord();
  char undoubled[2 * dbf::kMaxCharWidth];
  // Inlined: a call for each value costs more than most values' work.
  auto take = [&](size_t v, const sql::Value& value, bool doubled) __attribute__((always_inline)) {
    const int c = column_of_value_[v];
    if (c < 0) return false;
    const ColumnPlan& column = plan_[static_cast<size_t>(c)];
    char* const out = record + column.offset;
    if (value.kind != sql::Value::Kind::kString)
      return DbfNumberText(value, column.number, out) != 0;
    if (!column.text) return false;
    std::string_view text = value.text;
    if (doubled) {
      // Each pair is one quote: a text of more than twice the width is too long.
      if (text.size() > sizeof undoubled) return false;
      text = std::string_view(undoubled, sql::UndoubleQuotes(text, undoubled));
    }
    if (text.size() > column.width) return false;
    CopyShort(out, text.data(), text.size());
    return true;
  };
  if (!sql::ReadPlainValues(values, column_of_value_.size(), take)) return std::nullopt;
  rest_.clear();
  return t->writer->AddRecord(rest_);
}

Status DbfStore::Close() {
  mapped_head_ = 0;
  mapped_table_ = nullptr;
  Status first;
  for (auto& t : tables_) {
    Status s = t->writer->Finish();
    if (s.ok()) s = t->file->Commit();
    else t->file->Abandon();
    if (!s.ok() && first.ok())
      first = sql::SqlError("HY000", "cannot write " + t->file->target() + ": " + s.message());
  }
  tables_.clear();
  return first;
}

}  // namespace

const DriverInfo& ThisDriver() {
  static constexpr DriverInfo kInfo = {"dBase driver", "DBASE",
                                       "librecordhaul_dbf_odbc.so", dbf::kMaxFields,
                                       SQL_FILE_TABLE};
  return kInfo;
}

Result<std::unique_ptr<TableStore>> OpenTableStore(const ConnectionAttributes& attrs) {
  std::string folder = attrs.Get("DBQ").value_or("");
  if (!folder.empty() && !IsDirectory(folder))
    return sql::SqlError("08001", "'" + folder + "' is not a valid path: no such folder");
  auto read_only = attrs.Get("READONLY");
  return std::unique_ptr<TableStore>(
      new DbfStore(std::move(folder), read_only && IsTrueValue(*read_only)));
}

}  // namespace rh::odbc
