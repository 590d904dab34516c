// The table writer: export types 8 (Excel), 9 (dBase) and 10 (Access). One
// CREATE TABLE built from the selection, then one INSERT per record, through
// a TableConnection; the three targets differ only in the table's name, the
// connection, the column type words and the failure texts. With typed
// columns (ExportOptions::typed) dates are DATE columns given 'YYYY-MM-DD'
// or NULL, and texts lose their trailing blanks.
#ifndef RECORDHAUL_EXPORT_TABLE_WRITER_H_
#define RECORDHAUL_EXPORT_TABLE_WRITER_H_

#include <memory>
#include <string>
#include <vector>

#include "export/export_types.h"
#include "export/table_insert_formatter.h"
#include "export/record_writer.h"
#include "export/table_connection.h"

namespace rh {

// The dBase folder and table name: split after the last "/" or ":" found
// from the path's last character back to its second.
struct DBaseTable {
  std::string folder;
  std::string table;
};
DBaseTable SplitDBasePath(const std::string& path);

// The file the dBase driver writes for a destination: the table name, with
// ".dbf" added when its last component has no extension, in the DBQ folder.
// The existence question, the accounting-file guard and the folder check
// look at this file, not at the path as typed.
std::string DBaseFilePath(const std::string& path);

// Every single quote doubled.
std::string EscapeQuotes(std::string_view text);

class TableWriter : public RecordWriter {
 public:
  TableWriter(const ExportTypeInfo& type, const WriterSetup& setup);
  ~TableWriter() override;

  const std::string& file() const override { return file_; }
  bool ConfirmExisting(RunObserver& ui) override;
  Status OpenDestination() override { return Status(); }
  Status Begin(const WriterInput& input) override;
  Status WriteRecord(const uint8_t* record, int32_t record_number, int32_t exported) override;
  // INSERT statements built on formatting threads, executed in order here.
  std::unique_ptr<RecordFormatter> NewFormatter() const override;
  Status WriteFormatted(std::string_view bytes) override;
  Status Finish() override;
  void Abort() override;
  // dBase: one for each field whose texts were cut to 254 bytes.
  std::vector<Status> Warnings() const override;

 private:
  std::string TableName() const;
  // The create list ("'name' TYPE,...") and the name list ("'name',...").
  void BuildLists(const WriterInput& input, std::string* columns, std::string* names) const;
  std::string CreateStatementOf(const std::string& columns) const;
  Status CreationFailed(const Status& why) const;
  Status InsertFailed() const;
  // The run's end at a value the target cannot store.
  Status Unstorable(int32_t record_number, const UnstorableValue& u);
  // Executes a record's INSERT.
  Status Insert(int32_t record_number, std::string_view statement, bool encoded = false);
  void EndWait();

  std::string path_;
  std::string file_;
  const TableInfo& table_;
  TableTarget target_;
  RunObserver& ui_;
  ConnectionOpener opener_;
  bool typed_;  // ExportOptions::typed
  std::unique_ptr<TableConnection> connection_;
  const WriterInput* input_ = nullptr;
  std::unique_ptr<InsertBuilder> builder_;  // from Begin on
  std::string statement_;
  std::vector<uint32_t> cut_rows_;  // WriteRecord's, reused
  InsertEntry entry_;               // WriteFormatted's, reused
  int columns_ = 0;
  int32_t inserted_ = 0;
  bool waiting_ = false;
  bool insert_failed_ = false;
  bool replacing_ = false;  // the destination existed and may be replaced
  std::vector<int64_t> cut_values_;  // per row of the input: dBase texts cut
};

// The writer of the table types, for their rows of the type table.
std::unique_ptr<RecordWriter> MakeTableWriter(const ExportTypeInfo& type,
                                              const WriterSetup& setup);

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_TABLE_WRITER_H_
