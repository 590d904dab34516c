#include "export/table_insert_formatter.h"

#include <algorithm>
#include <cstring>

namespace rh {

namespace {

// An entry: its header, then the statement and the cut rows (one uint32
// each), or for a value that cannot be stored its row and the value.
struct EntryHeader {
  int32_t record_number;
  uint32_t statement_length;  // kUnstorable: no statement
  uint32_t cut_rows;
  uint32_t encoded;  // 1: the statement's encoding in its place
};
constexpr uint32_t kUnstorable = UINT32_MAX;
struct UnstorableTail {
  uint64_t row;
  double value;
};

template <class T>
char* Put(char* out, const T& v) {
  std::memcpy(out, &v, sizeof v);
  return out + sizeof v;
}

template <class T>
T Take(std::string_view* bytes) {
  T v;
  std::memcpy(&v, bytes->data(), sizeof v);
  bytes->remove_prefix(sizeof v);
  return v;
}

}  // namespace

void TakeInsertEntry(std::string_view* bytes, InsertEntry* entry) {
  const auto header = Take<EntryHeader>(bytes);
  entry->record_number = header.record_number;
  entry->cut_rows.clear();
  if (header.statement_length == kUnstorable) {
    const auto tail = Take<UnstorableTail>(bytes);
    entry->statement = {};
    entry->unstorable = UnstorableValue{static_cast<size_t>(tail.row), tail.value};
    return;
  }
  entry->unstorable.reset();
  entry->encoded = header.encoded != 0;
  entry->statement = bytes->substr(0, header.statement_length);
  bytes->remove_prefix(header.statement_length);
  for (uint32_t i = 0; i < header.cut_rows; ++i) entry->cut_rows.push_back(Take<uint32_t>(bytes));
}

TableInsertFormatter::TableInsertFormatter(const InsertBuilder& builder, size_t rows,
                                           const ValueContext& values,
                                           std::unique_ptr<StatementEncoder> encoder)
    : builder_(builder),
      rows_(rows),
      today_(values.today != nullptr ? values.today->now() : nullptr),
      values_(values),
      encoder_(std::move(encoder)) {
  if (values.today != nullptr) values_.today = &today_;
}

size_t TableInsertFormatter::MaxBytes() const {
  const size_t most = std::max(builder_.MaxBytes(), encoder_ ? encoder_->MaxBytes() : 0);
  return sizeof(EntryHeader) + std::max(most + rows_ * sizeof(uint32_t), sizeof(UnstorableTail));
}

char* TableInsertFormatter::Format(const uint8_t* record, int32_t record_number, int32_t,
                                   char* out) {
  if (auto u = builder_.FindUnstorable(record, record_number, values_)) {
    out = Put(out, EntryHeader{record_number, kUnstorable, 0, 0});
    return Put(out, UnstorableTail{u->row, u->value});
  }
  char* const statement = out + sizeof(EntryHeader);
  char* end = builder_.Build(statement, record, record_number, values_, &cut_rows_);
  // Worked out here too where the connection can, so that the writing
  // thread only applies it; where it cannot, the writer executes the
  // statement and so meets what stopped the encoder.
  uint32_t encoded = 0;
  if (encoder_ && encoder_->Encode(std::string_view(statement, static_cast<size_t>(end - statement)),
                                   &encoded_)) {
    std::memcpy(statement, encoded_.data(), encoded_.size());
    end = statement + encoded_.size();
    encoded = 1;
  }
  Put(out, EntryHeader{record_number, static_cast<uint32_t>(end - statement),
                       static_cast<uint32_t>(cut_rows_.size()), encoded});
  for (uint32_t row : cut_rows_) end = Put(end, row);
  return end;
}

}  // namespace rh
