// The table writer: export types 8 (Excel), 9 (dBase) and 10 (Access). One
// CREATE TABLE built from the selection, then one INSERT per record, through
// a TableConnection; the three targets differ in the table's name, the
// connection, the column type words, the failure texts and what fits them:
//  - Access: a text field longer than 255 characters is a MEMO column.
//  - dBase: a text longer than 254 bytes is cut to 254 and, unless only
//    blanks were cut, counted for a warning; a D value whose whole part is
//    wider than 19 characters stops the run.
//  - NaN and infinity stop the run for every target, naming record and field.
#ifndef RECORDHAUL_EXPORT_TABLE_WRITER_H_
#define RECORDHAUL_EXPORT_TABLE_WRITER_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export/record_writer.h"
#include "export/table_connection.h"

namespace rh {

enum class TableTarget { kExcel, kDBase, kAccess };

// What opening a connection takes.
struct TableOpenRequest {
  TableTarget target;
  std::string connection_string;  // Excel and dBase (ODBC)
  std::string path;               // Access: the database file
  std::string locale;             // Access: the engine's locale text
};

using ConnectionOpener =
    std::function<Result<std::unique_ptr<TableConnection>>(const TableOpenRequest&)>;

// ODBC for Excel and dBase, our database engine for Access.
ConnectionOpener DefaultConnectionOpener();

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
  TableWriter(std::string path, TableTarget target, Platform& ui, ConnectionOpener opener);
  ~TableWriter() override;

  bool ConfirmExisting(Platform& ui) override;
  Status OpenDestination() override { return Status(); }
  std::string_view DataFileOpenFailText() const override { return "Company Data File open Fail"; }
  Status Begin(const WriterInput& input) override;
  Status WriteRecord(const uint8_t* record, int32_t record_number, int32_t exported) override;
  Status Finish() override;
  void Abort() override;
  // dBase: one line for each field whose texts were cut to 254 bytes.
  std::vector<std::string> Warnings() const override;

  // The statements, for tests and tools: built as Begin and WriteRecord do.
  // A dBase text longer than a dBase field is cut to fit and counted.
  std::string CreateStatement(const WriterInput& input) const;
  std::string InsertStatement(const WriterInput& input, const uint8_t* record,
                              int32_t record_number);
  // Why the record holds a value the target cannot store ("Record 17, field
  // BALANCE: NaN cannot be stored in a table."), or nothing.
  std::string UnstorableValue(const WriterInput& input, const uint8_t* record,
                              int32_t record_number) const;

 private:
  std::string TableName() const;
  // The create list ("'name' TYPE,...") and the name list ("'name',...").
  void BuildLists(const WriterInput& input, std::string* columns, std::string* names) const;
  Status CreationFailed() const;
  // "Error #10" with the target's text and, when given, the reason below it.
  Status InsertFailed(const std::string& reason = {}) const;
  void EndWait();

  std::string path_;
  TableTarget target_;
  Platform& ui_;
  ConnectionOpener opener_;
  std::unique_ptr<TableConnection> connection_;
  const WriterInput* input_ = nullptr;
  std::string insert_prefix_;  // "INSERT INTO t (names) VALUES ("
  size_t longest_insert_ = 0;
  std::string statement_;
  bool waiting_ = false;
  bool insert_failed_ = false;
  bool replacing_ = false;  // the destination existed and may be replaced
  std::vector<int64_t> cut_values_;  // per row of the input: dBase texts cut
};

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_TABLE_WRITER_H_
