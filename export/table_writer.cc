#include "export/table_writer.h"

#include "base/paths.h"
#include "export/table_failure.h"
#include "export/table_insert_formatter.h"

namespace rh {

namespace {

constexpr const char* kExcelDriver = "MICROSOFT EXCEL DRIVER (*.XLS)";
constexpr const char* kAccessLocale = ";LANGID=0x0409;CP=1252;COUNTRY=0";
// The characters an Access TEXT column holds; longer fields become memos.
constexpr int kAccessTextLength = 255;

// The column type word of a row, with its leading blank; nothing for a row
// that makes no column. Typed columns make the dates DATE columns.
std::string TypeWord(const BoundRow& row, TableTarget target, bool typed) {
  const bool dbase = target == TableTarget::kDBase;
  if (typed && (row.field.source == FieldSource::kJ ||
                row.field.source == FieldSource::kTodaysDate))
    return " DATE";
  switch (row.field.source) {
    case FieldSource::kCurrentRecord: return " LONG";
    case FieldSource::kModuleCode: return dbase ? " TEXT(4)" : " TEXT";
    case FieldSource::kFileNumber: return dbase ? " TEXT(3)" : " TEXT";
    case FieldSource::kTodaysDate: return dbase ? " TEXT(8)" : " TEXT";
    case FieldSource::kCompanyNumber: return dbase ? " TEXT(2)" : " TEXT";
    case FieldSource::kD: return " DOUBLE";
    case FieldSource::kI: return " SHORT";
    case FieldSource::kT:
      if (dbase) return " TEXT(" + std::to_string(row.field.length) + ")";
      return target == TableTarget::kAccess && row.field.length > kAccessTextLength ? " MEMO"
                                                                                   : " TEXT";
    case FieldSource::kF: return " SINGLE";
    case FieldSource::kY: return " BYTE";
    case FieldSource::kL: return " LONG";
    case FieldSource::kJ: return dbase ? " TEXT(10)" : " TEXT";
    case FieldSource::kNone: break;
  }
  return {};
}

void AppendEscaped(std::string* out, std::string_view text) {
  for (size_t q; (q = text.find('\'')) != std::string_view::npos;) {
    out->append(text.data(), q + 1);
    out->push_back('\'');
    text.remove_prefix(q + 1);
  }
  out->append(text);
}

void AppendQuoted(std::string* out, std::string_view text) {
  out->push_back('\'');
  AppendEscaped(out, text);
  out->push_back('\'');
}

}  // namespace

std::string EscapeQuotes(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  AppendEscaped(&out, text);
  return out;
}

DBaseTable SplitDBasePath(const std::string& path) {
  for (size_t i = path.size(); i-- > 1;) {
    if (path[i] == '/' || path[i] == ':') return {path.substr(0, i + 1), path.substr(i + 1)};
  }
  return {"", path};
}

std::string DBaseFilePath(const std::string& path) {
  DBaseTable t = SplitDBasePath(path);
  std::string file = WithDefaultExtension(t.table, ".dbf");
  if (t.folder.empty()) return file;
  return t.folder.back() == '/' ? t.folder + file : JoinPath(t.folder, file);
}

TableWriter::TableWriter(const ExportTypeInfo& type, const WriterSetup& setup)
    : path_(setup.path),
      file_(type.table.target == TableTarget::kDBase ? DBaseFilePath(setup.path) : setup.path),
      table_(type.table),
      target_(type.table.target),
      ui_(*setup.observer),
      opener_(setup.opener),
      typed_(setup.options.typed) {}

std::unique_ptr<RecordWriter> MakeTableWriter(const ExportTypeInfo& type,
                                              const WriterSetup& setup) {
  return std::make_unique<TableWriter>(type, setup);
}

TableWriter::~TableWriter() { Abort(); }

bool TableWriter::ConfirmExisting(RunObserver& ui) {
  // The existing file is replaced only once the new one is complete.
  replacing_ = ui.Ask(MessageId::kTableDestinationExists) == Answer::kYes;
  return replacing_;
}

Status TableWriter::CreationFailed(const Status& why) const {
  return CreationFailure(table_.creation_failure, target_, columns_, why);
}

Status TableWriter::InsertFailed() const { return Status::Of(table_.insert_failure); }

std::string TableWriter::TableName() const {
  return target_ == TableTarget::kDBase ? SplitDBasePath(path_).table : "KVTdatatool";
}

void TableWriter::BuildLists(const WriterInput& input, std::string* columns,
                             std::string* names) const {
  for (const BoundRow& row : input.rows) {
    std::string word = TypeWord(row, target_, typed_);
    if (word.empty()) continue;
    if (!names->empty()) {
      names->push_back(',');
      columns->push_back(',');
    }
    AppendQuoted(names, row.export_name);
    AppendQuoted(columns, row.export_name);
    *columns += word;
  }
}

std::string TableWriter::CreateStatementOf(const std::string& columns) const {
  return "CREATE TABLE " + TableName() + " (" + columns + ")";
}

Status TableWriter::Begin(const WriterInput& input) {
  input_ = &input;
  TableOpenRequest request{target_, "", "", ""};
  switch (target_) {
    case TableTarget::kExcel:
      request.connection_string = std::string("DRIVER={") + kExcelDriver +
                                  "};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"" +
                                  path_ + "\";DBQ=" + path_;
      break;
    case TableTarget::kDBase:
      request.connection_string =
          "DRIVER=Microsoft dBase Driver (*.dbf);DBQ=" + SplitDBasePath(path_).folder + ";";
      break;
    case TableTarget::kAccess:
      request.path = path_;
      request.locale = kAccessLocale;
      break;
    case TableTarget::kNone:
      break;
  }
  auto connection = opener_ ? opener_(request)
                            : Result<std::unique_ptr<TableConnection>>(
                                  Status::Sql("IM002", "no way to connect was given"));
  for (const BoundRow& row : input.rows) columns_ += TypeWord(row, target_, typed_).empty() ? 0 : 1;
  if (!connection.ok()) return CreationFailed(connection.status());
  connection_ = std::move(connection).value();
  ui_.BeginWaitCursor();
  waiting_ = true;

  std::string columns, names;
  BuildLists(input, &columns, &names);
  builder_ = std::make_unique<InsertBuilder>(
      target_, typed_, input, "INSERT INTO " + TableName() + " (" + names + ") VALUES (");
  cut_values_.assign(input.rows.size(), 0);
  if (Status s = connection_->Execute(CreateStatementOf(columns)); !s.ok())
    return CreationFailed(s);
  return Status();
}

Status TableWriter::Unstorable(int32_t record_number, const UnstorableValue& u) {
  insert_failed_ = true;
  return InsertFailed().WithDetail(MessageId::kDetailCannotStore,
                                   {std::to_string(record_number), input_->rows[u.row].export_name,
                                    builder_->WhyUnstorable(u.value)});
}

Status TableWriter::Insert(int32_t record_number, std::string_view statement, bool encoded) {
  if (Status s = encoded ? connection_->ExecuteEncoded(statement) : connection_->Execute(statement);
      !s.ok()) {
    insert_failed_ = true;
    return InsertFailure(table_.insert_failure, target_, record_number, inserted_, s);
  }
  ++inserted_;
  return Status();
}

std::vector<Status> TableWriter::Warnings() const {
  std::vector<Status> warnings;
  const std::string width = std::to_string(kDBaseTextWidth);
  for (size_t i = 0; i < cut_values_.size(); ++i) {
    const int64_t n = cut_values_[i];
    const std::string& field = input_->rows[i].export_name;
    if (n == 1) warnings.push_back(Status::Of(MessageId::kDBaseTextCutOne, {field, width}));
    if (n > 1) {
      warnings.push_back(
          Status::Of(MessageId::kDBaseTextCutMany, {std::to_string(n), field, width}));
    }
  }
  return warnings;
}

Status TableWriter::WriteRecord(const uint8_t* record, int32_t record_number, int32_t) {
  // A value the target has no way to hold ends the run as a refused INSERT
  // would, but says which value it is.
  if (auto u = builder_->FindUnstorable(record, record_number, input_->values))
    return Unstorable(record_number, *u);
  statement_.resize(builder_->MaxBytes());  // room for any record, filled in place
  char* const begin = statement_.data();
  char* const end = builder_->Build(begin, record, record_number, input_->values, &cut_rows_);
  statement_.resize(static_cast<size_t>(end - begin));
  for (uint32_t row : cut_rows_) ++cut_values_[row];
  return Insert(record_number, statement_);
}

std::unique_ptr<RecordFormatter> TableWriter::NewFormatter() const {
  if (builder_ == nullptr) return nullptr;
  return std::make_unique<TableInsertFormatter>(*builder_, input_->rows.size(), input_->values,
                                                connection_ ? connection_->NewEncoder() : nullptr);
}

Status TableWriter::WriteFormatted(std::string_view bytes) {
  while (!bytes.empty()) {
    TakeInsertEntry(&bytes, &entry_);
    if (entry_.unstorable) return Unstorable(entry_.record_number, *entry_.unstorable);
    for (uint32_t row : entry_.cut_rows) ++cut_values_[row];
    if (Status s = Insert(entry_.record_number, entry_.statement, entry_.encoded); !s.ok())
      return s;
  }
  return Status();
}

Status TableWriter::Finish() {
  Status s;
  if (connection_) {
    if (Status closed = connection_->Close(); !closed.ok())
      s = Status::Of(MessageId::kFileWriteFail)
              .WithDetail(MessageId::kDetailDriverSaid,
                          {closed.sqlstate().empty() ? "an error" : closed.sqlstate(),
                           closed.message()});
  }
  connection_.reset();
  EndWait();
  return s;
}

void TableWriter::Abort() {
  // Each INSERT counts as committed, so after a failed one the rows before
  // it are kept, but only in a new file: a table that broke off part way
  // never takes the place of the file the user had. Any other failure (the
  // data file cannot be read, the table cannot be created, the run was
  // interrupted) keeps nothing.
  if (connection_) {
    if (insert_failed_ && !replacing_) connection_->Close().IgnoreError();
    else connection_->Discard();
  }
  connection_.reset();
  EndWait();
}

void TableWriter::EndWait() {
  if (waiting_) ui_.EndWaitCursor();
  waiting_ = false;
}

}  // namespace rh
