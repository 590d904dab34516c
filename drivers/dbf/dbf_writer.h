// A dBase III+ table (.dbf) written record by record.
//
// The header goes out first with a record count of 0; every record is
// appended as it comes (memory does not grow with the table); Finish()
// writes the end-of-file mark and then the final count into the header. The
// language-driver byte marks the text as Windows-1252.
//
// Errors carry an SQLSTATE as caption, as the driver reports them: 22001 for
// a text longer than its field, 22003 for a number that does not fit its
// field. Texts are never cut to fit; a real number too wide for all the
// decimals of its field is written with as many as fit (1e15 in N(19,6) is
// 1000000000000000.00), and fails only when its whole part does not fit.
#ifndef RECORDHAUL_DRIVERS_DBF_DBF_WRITER_H_
#define RECORDHAUL_DRIVERS_DBF_DBF_WRITER_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/calendar.h"
#include "base/env.h"
#include "base/numbers.h"
#include "base/status.h"

namespace rh::dbf {

inline constexpr int kMaxFields = 255;
inline constexpr int kMaxCharWidth = 254;
inline constexpr int kMaxNumericWidth = 19;
inline constexpr int kMaxNameLength = 10;
inline constexpr uint8_t kLanguageDriverWindows1252 = 0x57;

struct Field {
  std::string name;  // 1 to 10 bytes, kept as given
  char type = 'C';   // 'C' character, 'N' numeric or 'D' date (YYYYMMDD)
  int width = 1;     // C: 1 to 254; N: 1 to 19; D: 8
  int decimals = 0;  // N only: 0 to width - 2
};

// One value of a record. Numbers go into N fields (an integer into a field
// with decimals is written with them), texts into C fields, dates (years 1
// to 9999) into D fields; an empty value leaves the field blank. A number
// may also come as the text its N field shows, which is right-aligned as it
// is (the caller made it the bytes the number itself would give).
struct Value {
  enum class Kind { kBlank, kInteger, kReal, kText, kDate, kNumberText };
  Kind kind = Kind::kBlank;
  int64_t integer = 0;
  double real = 0;
  std::string_view text;  // Windows-1252
  CalendarDate date;

  static Value Integer(int64_t v) { return {Kind::kInteger, v, 0, {}, {}}; }
  static Value Real(double v) { return {Kind::kReal, 0, v, {}, {}}; }
  static Value Text(std::string_view t) { return {Kind::kText, 0, 0, t, {}}; }
  static Value Date(CalendarDate d) { return {Kind::kDate, 0, 0, {}, d}; }
  static Value NumberText(std::string_view t) { return {Kind::kNumberText, 0, 0, t, {}}; }
};

// Writes `v` into the field's `f.width` bytes at `out`, which are blank:
// texts left-aligned, numbers right-aligned. A value that does not fit, or
// not the field's type, fails and may have written part of the field.
Status FormatField(const Field& f, const Value& v, char* out);

class Writer {
 public:
  // Writes the header to `file`. `path` names the same file; Finish()
  // reopens it to store the record count. Fails for invalid fields.
  static Result<std::unique_ptr<Writer>> Create(Env* env, std::string path,
                                                WritableFile* file,
                                                std::vector<Field> fields);

  // Appends one record; `values` holds one value per field, in field order.
  // A value that does not fit fails the call and writes nothing.
  Status AddRecord(std::span<const Value> values);

  // The same record built in place, for callers that write most fields'
  // bytes themselves: BeginRecord blanks the record and returns it (the
  // deletion flag, then the fields, field i at field_offset(i)); AddRecord
  // then formats `rest`, the other fields' values (field index, value), and
  // appends the record, or fails as AddRecord does and writes nothing.
  char* BeginRecord();
  size_t field_offset(size_t i) const { return offsets_[i]; }
  Status AddRecord(std::span<const std::pair<size_t, Value>> rest);

  // End mark, close, record count. The file is complete when it returns.
  Status Finish();

  const std::vector<Field>& fields() const { return fields_; }
  uint32_t record_count() const { return records_; }

 private:
  Writer(Env* env, std::string path, WritableFile* file,
         std::vector<Field> fields);
  std::string HeaderStart() const;
  Status AppendRecord();

  Env* env_;
  std::string path_;
  WritableFile* file_;
  std::vector<Field> fields_;
  size_t record_size_ = 1;
  uint32_t records_ = 0;
  std::vector<size_t> offsets_;  // of each field in the record
  std::string record_;  // reused for every record
  Status failed_;       // a write error makes every later call fail
};


// Checks a field list: 1 to kMaxFields fields, names of 1 to 10 printable
// bytes, unique ignoring ASCII case, and widths in range.
Status CheckFields(const std::vector<Field>& fields);

}  // namespace rh::dbf

#endif  // RECORDHAUL_DRIVERS_DBF_DBF_WRITER_H_
