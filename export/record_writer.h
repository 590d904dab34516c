// RecordWriter: the output side of an export. The run frame (export_run.h)
// owns the destination rules, the data file, the record loop and progress;
// a writer turns the records into its file at the frame's steps.
#ifndef RECORDHAUL_EXPORT_RECORD_WRITER_H_
#define RECORDHAUL_EXPORT_RECORD_WRITER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "data/field_value.h"
#include "export/run_observer.h"

namespace rh {

// A selection row bound to its field for the whole run.
struct BoundRow {
  BoundField field;
  std::string field_name;
  std::string export_name;
};

// What the writer's set-up and record steps need.
struct WriterInput {
  std::vector<BoundRow> rows;
  ValueContext values;
};

// Formats records apart from the writer, on a thread of its own, for
// writers whose records do not depend on each other: a text type's lines,
// a table type's INSERT statements.
class RecordFormatter {
 public:
  virtual ~RecordFormatter() = default;
  // Writes at out what the writer's WriteFormatted takes for this record
  // (a text type: the bytes WriteRecord would write) and returns their
  // end; there must be room for MaxBytes().
  virtual char* Format(const uint8_t* record, int32_t record_number, int32_t exported,
                       char* out) = 0;
  virtual size_t MaxBytes() const = 0;
};

class RecordWriter {
 public:
  virtual ~RecordWriter() = default;

  // The file this writer writes, which the run's checks look at: the
  // destination, or for dBase its table's file (the driver adds ".dbf" to a
  // table name without an extension).
  virtual const std::string& file() const = 0;
  // The destination exists: ask the writer's question. False ends the run
  // without a further message.
  virtual bool ConfirmExisting(RunObserver& ui) = 0;
  // Opens the destination before the data file is opened ("Error #8" when
  // it cannot be). Table writers connect later, in Begin().
  virtual Status OpenDestination() = 0;
  // Title line, or connection and table.
  virtual Status Begin(const WriterInput& input) = 0;
  virtual Status WriteRecord(const uint8_t* record, int32_t record_number,
                             int32_t exported) = 0;
  // A formatter for another thread, made after Begin and used no longer
  // than the writer; nullptr when the records can only go through
  // WriteRecord one by one.
  virtual std::unique_ptr<RecordFormatter> NewFormatter() const { return nullptr; }
  // Writes what formatters made, in record order, as WriteRecord would
  // have; a failure ends the run at the record WriteRecord would have
  // failed at.
  virtual Status WriteFormatted(std::string_view bytes) {
    (void)bytes;
    return Status();
  }
  // Ends the output; on success the destination holds the export.
  virtual Status Finish() = 0;
  // After a failure an existing destination stays as it was and no
  // temporary file is left; only a new table whose INSERT failed keeps the
  // rows inserted before it.
  virtual void Abort() = 0;
  // After Finish: what the user should know about values changed to fit the
  // destination, one warning each.
  virtual std::vector<Status> Warnings() const { return {}; }
};

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_RECORD_WRITER_H_
