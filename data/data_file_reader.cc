#include "data/data_file_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/bytes.h"

namespace rh {

namespace {
constexpr size_t kBlockSize = 1 << 20;
}

Status RecordLengthTooShort(int32_t record_length) {
  return Status::Of(MessageId::kRecordLengthTooShort,
                    {std::to_string(record_length), std::to_string(kMinimumRecordLength)});
}

DataFileReader::DataFileReader(std::string path,
                               std::unique_ptr<ReadableFile> file,
                               int32_t record_length,
                               std::vector<uint8_t> buffer)
    : path_(std::move(path)),
      file_(std::move(file)),
      record_length_(record_length),
      buffer_(std::move(buffer)) {}

Result<std::unique_ptr<DataFileReader>> DataFileReader::Open(
    Env* env, const DataFileLocation& where, int32_t record_length,
    MessageId open_failure) {
  if (record_length < kMinimumRecordLength) return RecordLengthTooShort(record_length);
  auto located = LocateDataFile(env, where, open_failure);
  if (!located.ok()) return located.status();
  // Whole records per block, at least one.
  size_t length = static_cast<size_t>(record_length);
  size_t block = length >= kBlockSize ? length : kBlockSize / length * length;
  std::vector<uint8_t> buffer;
  try {
    buffer.resize(block);
  } catch (const std::bad_alloc&) {
    return Status::Of(MessageId::kInsufficientMemory);
  }
  return std::unique_ptr<DataFileReader>(new DataFileReader(
      std::move(located->path), std::move(located->file), record_length,
      std::move(buffer)));
}

Status DataFileReader::ReadError() const {
  return Status::Of(MessageId::kDataFileReadFail, {path_});
}

Result<int32_t> DataFileReader::ReadHeader() {
  auto got = file_->ReadAt(0, buffer_.data(), static_cast<size_t>(record_length_));
  if (!got.ok()) return ReadError();
  if (*got < static_cast<size_t>(record_length_)) {
    // No whole header: no records can follow it.
    at_end_ = true;
    return *got >= 12 ? LoadBigI32(buffer_.data() + 8) : 0;
  }
  begin_ = end_ = 0;
  file_pos_ = static_cast<uint64_t>(record_length_);
  return LoadBigI32(buffer_.data() + 8);
}

Result<const uint8_t*> DataFileReader::Next() {
  const size_t length = static_cast<size_t>(record_length_);
  if (end_ - begin_ < length) {
    if (at_end_) return static_cast<const uint8_t*>(nullptr);
    // Keep the partial record, fill the rest of the block.
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    auto got = file_->ReadAt(file_pos_, buffer_.data() + end_, buffer_.size() - end_);
    if (!got.ok()) return ReadError();
    file_pos_ += *got;
    end_ += *got;
    if (end_ < buffer_.size()) at_end_ = true;  // short read: the file ended
    if (end_ < length) return static_cast<const uint8_t*>(nullptr);
  }
  const uint8_t* record = buffer_.data() + begin_;
  begin_ += length;
  return record;
}

Result<size_t> DataFileReader::ReadRecords(uint8_t* out, size_t max) {
  const size_t length = static_cast<size_t>(record_length_);
  const size_t wanted = max * length;
  // What Next left in the buffer comes first.
  const size_t buffered = std::min(end_ - begin_, wanted);
  if (buffered > 0) std::memcpy(out, buffer_.data() + begin_, buffered);
  begin_ += buffered;
  size_t have = buffered;
  if (have < wanted && !at_end_) {
    auto got = file_->ReadAt(file_pos_, out + have, wanted - have);
    if (!got.ok()) return ReadError();
    file_pos_ += *got;
    have += *got;
    if (have < wanted) at_end_ = true;  // short read: the file ended
  }
  return have / length;  // a partial record at the end is no record
}

}  // namespace rh
