// InsertBuilder: the INSERT statement a table export sends for a record.
// Made once the table exists; it changes nothing afterwards, so the writer
// and formatting threads build statements with the same one at once, each
// with its own ValueContext (its own "Today's Date" clock).
#ifndef RECORDHAUL_EXPORT_INSERT_BUILDER_H_
#define RECORDHAUL_EXPORT_INSERT_BUILDER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export/record_writer.h"
#include "export/table_connection.h"

namespace rh {

// A dBase character field holds at most this many bytes; longer texts are
// cut to it.
inline constexpr size_t kDBaseTextWidth = 254;

// A value of a record that the target has no way to store.
struct UnstorableValue {
  size_t row = 0;  // its index in the input's rows
  double value = 0;
};

class InsertBuilder {
 public:
  // `prefix` is the statement up to its first value:
  // "INSERT INTO t (names) VALUES (". Typed tables take dates as
  // 'YYYY-MM-DD' or NULL and texts without their trailing blanks.
  InsertBuilder(TableTarget target, bool typed, const WriterInput& input, std::string prefix);

  // The most bytes Build writes.
  size_t MaxBytes() const { return max_bytes_; }

  // Writes the record's statement at `out` and returns its end. The rows
  // whose dBase text was cut to kDBaseTextWidth bytes go to *cut_rows
  // (cleared first; only blanks cut do not count).
  char* Build(char* out, const uint8_t* record, int32_t record_number,
              const ValueContext& values, std::vector<uint32_t>* cut_rows) const;

  // The first value of the record the target cannot store (SQL has no
  // literal for NaN or infinity; a dBase number has 19 characters), or
  // nothing when every value can be stored.
  std::optional<UnstorableValue> FindUnstorable(const uint8_t* record, int32_t record_number,
                                                const ValueContext& values) const;
  // Why FindUnstorable's value cannot be stored: "NaN cannot be stored in a table."
  std::string WhyUnstorable(double value) const;

 private:
  const TableTarget target_;
  const bool typed_;
  const WriterInput& input_;
  const std::string prefix_;
  size_t max_bytes_ = 0;
  std::vector<size_t> real_rows_;  // the D rows, the only ones that may not be storable
};

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_INSERT_BUILDER_H_
