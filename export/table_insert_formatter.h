// TableInsertFormatter: a table export's INSERT statements built on a
// formatting thread, as entries that the table writer executes in record
// order.
//
// An entry holds the record's number and either its statement (or what the
// connection's encoder made of it), with the rows whose dBase texts were
// cut to fit, or the value the target cannot store, which ends the run at
// that record as it would without the threads.
#ifndef RECORDHAUL_EXPORT_TABLE_INSERT_FORMATTER_H_
#define RECORDHAUL_EXPORT_TABLE_INSERT_FORMATTER_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/insert_builder.h"
#include "export/table_connection.h"

namespace rh {

struct InsertEntry {
  int32_t record_number = 0;
  std::string_view statement;  // empty when `unstorable` is set
  bool encoded = false;        // `statement` is what the connection's encoder made of it
  std::optional<UnstorableValue> unstorable;
  std::vector<uint32_t> cut_rows;
};

// Reads the entry at the front of *bytes into *entry and drops it from
// *bytes, which must start with an entry a TableInsertFormatter wrote.
void TakeInsertEntry(std::string_view* bytes, InsertEntry* entry);

class TableInsertFormatter : public RecordFormatter {
 public:
  // `values` is copied with a clock of the formatter's own. With an
  // `encoder`, an entry holds what it makes of the statement, where it can.
  TableInsertFormatter(const InsertBuilder& builder, size_t rows, const ValueContext& values,
                       std::unique_ptr<StatementEncoder> encoder = nullptr);

  char* Format(const uint8_t* record, int32_t record_number, int32_t exported,
               char* out) override;
  size_t MaxBytes() const override;

 private:
  const InsertBuilder& builder_;
  const size_t rows_;
  TodayClock today_;
  ValueContext values_;
  std::vector<uint32_t> cut_rows_;
  std::unique_ptr<StatementEncoder> encoder_;
  std::string encoded_;
};

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_TABLE_INSERT_FORMATTER_H_
