// Builders for the accounting system's files, and a sample installation.
//
// The builders write the byte layouts the data layer reads: the data
// dictionary, company registers, the path table and company data files. The
// tests build their fixtures with them; `recordhaul sample` writes a whole
// installation to try the tool on.
#ifndef RECORDHAUL_SAMPLE_SAMPLE_DATA_H_
#define RECORDHAUL_SAMPLE_SAMPLE_DATA_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/env.h"
#include "base/status.h"

namespace rh::sample {

struct FieldSpec {
  std::string name;
  char type;  // D F I J L T Y, or any other letter
  int16_t length;
};

struct FileSpec {
  int number;
  std::string description;
  std::vector<FieldSpec> fields;
};

struct ModuleSpec {
  std::string code;
  std::string name;
  std::vector<FileSpec> files;
};

// One 40-byte dictionary record.
std::string DictionaryRecord(int16_t file_number, int16_t second_word,
                             std::string_view name, int16_t length = 0,
                             char type = ' ');

// A whole dictionary: the header with `version`, one module record per
// module pointing at its section, then each module's file and field records.
std::string BuildDictionary(std::string_view version,
                            const std::vector<ModuleSpec>& modules);

struct RegisterFile {
  int number;
  int16_t record_length;
  uint8_t path_index;
};

std::string BuildRegister(std::string_view company_name,
                          const std::vector<RegisterFile>& files);

// 52-byte entries, each a prefix and NULs.
std::string BuildPathTable(const std::vector<std::string>& prefixes);

// The record length of a file: the sum of its field lengths.
int32_t RecordLength(const std::vector<FieldSpec>& fields);

// Fills one data record field by field, at the offsets the dictionary gives.
class RecordBuilder {
 public:
  explicit RecordBuilder(std::vector<FieldSpec> fields);

  int32_t length() const { return static_cast<int32_t>(bytes_.size()); }
  // Text, padded with spaces to the field's length (cut if longer).
  RecordBuilder& Text(std::string_view field, std::string_view value);
  RecordBuilder& Int16(std::string_view field, int16_t value);
  RecordBuilder& Int32(std::string_view field, int32_t value);  // L or J
  RecordBuilder& Fixed(std::string_view field, int32_t ten_thousandths);
  RecordBuilder& Real(std::string_view field, double value);
  RecordBuilder& Byte(std::string_view field, uint8_t value);
  RecordBuilder& Raw(int32_t offset, std::string_view bytes);
  // The record, and a fresh zero-filled one for the next.
  std::string Take();
  // A record whose first six bytes mark it deleted.
  std::string Deleted() const;

 private:
  uint8_t* At(std::string_view field, size_t size);

  std::vector<FieldSpec> fields_;
  std::string bytes_;
};

// Header record (count at offset 8) followed by the records.
std::string BuildDataFile(int32_t header_count, int32_t record_length,
                          const std::vector<std::string>& records);

// The sample's dictionary: every module and data file of the catalog.
const std::vector<ModuleSpec>& SampleSchema();

struct SampleOptions {
  int records = 500;  // per data file
};

// Writes dir/data (registers and company data files), dir/sys (dictionary
// and path table) and dir/progs for General Ledger, Accounts Payable,
// Accounts Receivable and Payroll, with three companies each.
Status WriteSampleInstallation(Env* env, const std::string& dir,
                               const SampleOptions& options);

// Writes bytes to a new or emptied file.
Status WriteFileBytes(Env* env, const std::string& path, std::string_view bytes);

}  // namespace rh::sample

#endif  // RECORDHAUL_SAMPLE_SAMPLE_DATA_H_
