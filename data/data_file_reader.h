// DataFileReader: streams the records of one company data file.
//
// Record 0 is the header, whose big-endian 32-bit count at offset 8 says how
// many records follow; records 1..N follow, each the record length long. The
// reader reads large blocks and hands out records one at a time, so memory
// does not depend on the file's size. A record whose first six bytes are all
// 0xFF is deleted.
#ifndef RECORDHAUL_DATA_DATA_FILE_READER_H_
#define RECORDHAUL_DATA_DATA_FILE_READER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/env.h"
#include "base/status.h"
#include "data/companies.h"

namespace rh {

// The header count lies at bytes 8 to 11, and the deleted mark in bytes 0 to
// 5, so a record must be at least this long.
inline constexpr int32_t kMinimumRecordLength = 12;

inline bool IsDeletedRecord(const uint8_t* record) {
  for (int i = 0; i < 6; ++i)
    if (record[i] != 0xFF) return false;
  return true;
}

// The refusal for a record length below kMinimumRecordLength.
Status RecordLengthTooShort(int32_t record_length);

class DataFileReader {
 public:
  // Locates and opens the data file (LocateDataFile; its failure is
  // `open_failure`, an "Error #6") and allocates the record buffer
  // (failure: fatal "Error #7").
  static Result<std::unique_ptr<DataFileReader>> Open(
      Env* env, const DataFileLocation& where, int32_t record_length,
      MessageId open_failure);

  // Reads record 0; the header count N.
  Result<int32_t> ReadHeader();

  // The next record after the header, or nullptr where the data ends. The
  // pointer stays valid until the next call.
  Result<const uint8_t*> Next();
  // The next records after the header, up to `max` of them, read into `out`
  // (room for `max` records): fewer only where the data ends, 0 after its
  // end. Reads the file straight into `out` rather than through the
  // reader's own buffer.
  Result<size_t> ReadRecords(uint8_t* out, size_t max);

  const std::string& path() const { return path_; }
  int32_t record_length() const { return record_length_; }

 private:
  DataFileReader(std::string path, std::unique_ptr<ReadableFile> file,
                 int32_t record_length, std::vector<uint8_t> buffer);
  Status ReadError() const;

  std::string path_;
  std::unique_ptr<ReadableFile> file_;
  int32_t record_length_;
  std::vector<uint8_t> buffer_;  // a block of whole records
  size_t begin_ = 0;             // next record in the buffer
  size_t end_ = 0;               // bytes of the buffer filled
  uint64_t file_pos_ = 0;        // file offset of buffer_[end_]
  bool at_end_ = false;
};

}  // namespace rh

#endif  // RECORDHAUL_DATA_DATA_FILE_READER_H_
