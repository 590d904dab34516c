#include "drivers/mdb/long_value_pages.h"

#include <algorithm>

#include "base/bytes.h"

namespace rh::mdb {

namespace {

constexpr size_t kRowOffsetSize = 2;
constexpr size_t kChainPointerSize = 4;
constexpr size_t kMaxChainPiece = kMaxLongValueRow - kChainPointerSize;
// A chain begins in the open page only when this much of it fits there;
// smaller pieces would cost more reads than the space they save.
constexpr size_t kMinChainPiece = 64;

}  // namespace

LongValuePages::LongValuePages(PageSink* sink)
    : sink_(sink), page_(kLongValuePageMark) {}

uint32_t LongValuePages::MaxPagesFor(size_t bytes) {
  if (bytes <= kMaxLongValueRow) return 1;
  return static_cast<uint32_t>((bytes + kMaxChainPiece - 1) / kMaxChainPiece);
}

size_t LongValuePages::Room() const {
  if (!open_ || page_.num_rows() >= kMaxRowsPerPage) return 0;
  const size_t free = page_.free_space();
  return free > kRowOffsetSize ? free - kRowOffsetSize : 0;
}

Status LongValuePages::MakeRoom(size_t need) {
  if (open_ && Room() >= need) return Status();
  Status s = Flush();
  if (!s.ok()) return s;
  page_number_ = sink_->ClaimPage();
  pages_.Add(page_number_);
  page_.Reset();
  open_ = true;
  return Status();
}

Status LongValuePages::Flush() {
  if (!open_) return Status();
  open_ = false;
  last_has_room_ = page_.free_space() > 0;
  return sink_->WritePage(page_number_, page_.bytes());
}

Result<LongValueRef> LongValuePages::Store(std::string_view bytes) {
  LongValueRef ref;
  ref.length = static_cast<uint32_t>(bytes.size());
  if (bytes.size() <= kMaxLongValueRow) {
    Status s = MakeRoom(bytes.size());
    if (!s.ok()) return s;
    ref.kind = LongValueKind::kOtherPage;
    ref.pointer = RowPointer(page_number_, static_cast<uint8_t>(page_.num_rows()));
    page_.Add(bytes);
    return ref;
  }
  Status s = MakeRoom(kChainPointerSize + kMinChainPiece);
  if (!s.ok()) return s;
  ref.kind = LongValueKind::kChained;
  ref.pointer = RowPointer(page_number_, static_cast<uint8_t>(page_.num_rows()));
  for (;;) {
    const size_t n = std::min(Room() - kChainPointerSize, bytes.size());
    const bool last = n == bytes.size();
    // The next piece starts the next page claimed: nothing else claims one
    // while a value is stored.
    row_.clear();
    PutLittleU32(&row_, last ? 0 : RowPointer(sink_->next_page(), 0));
    row_.append(bytes.substr(0, n));
    page_.Add(row_);
    if (last) return ref;
    bytes.remove_prefix(n);
    s = MakeRoom(kMaxLongValueRow);
    if (!s.ok()) return s;
  }
}

}  // namespace rh::mdb
