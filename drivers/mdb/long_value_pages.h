// The long-value (LVAL) pages of a table: where memo values too long for
// their row are stored. A value that fits one row of an empty page is one
// row (LongValueKind::kOtherPage); a longer one is a chain of rows over as
// many pages as it needs (kChained), its first row in the open page when
// that still has room.
//
// Pages are numbered when they are started, since the rows that point into
// them are written before they are full, and the file is written in page
// order. The open page therefore goes to disk (Flush) before the engine
// writes any page numbered after it.
#ifndef RECORDHAUL_DRIVERS_MDB_LONG_VALUE_PAGES_H_
#define RECORDHAUL_DRIVERS_MDB_LONG_VALUE_PAGES_H_

#include <cstdint>
#include <string_view>

#include "base/status.h"
#include "drivers/mdb/jet_format.h"
#include "drivers/mdb/page_set.h"

namespace rh::mdb {

// The engine's page numbering and file, as the long-value pages use them.
class PageSink {
 public:
  virtual ~PageSink() = default;
  // The number the next claimed page gets.
  virtual uint32_t next_page() const = 0;
  // Numbers a page that is written later, before any page claimed after it.
  virtual uint32_t ClaimPage() = 0;
  // Writes the page claimed as `page`.
  virtual Status WritePage(uint32_t page, std::string_view bytes) = 0;
};

class LongValuePages {
 public:
  explicit LongValuePages(PageSink* sink);

  // The most pages Store() of a value of `bytes` stored bytes starts.
  static uint32_t MaxPagesFor(size_t bytes);

  // Stores the bytes and tells where they went. Fails only when the file
  // cannot be written.
  Result<LongValueRef> Store(std::string_view bytes);

  // Writes the open page, if any; the next value starts a new page.
  Status Flush();

  // Every page started so far.
  const PageSet& pages() const { return pages_; }
  // Whether the last page written has free space left.
  bool last_has_room() const { return last_has_room_; }

 private:
  // The open page, started when there is none or `need` bytes (with their
  // offset entry) do not fit it.
  Status MakeRoom(size_t need);
  size_t Room() const;  // bytes a new row may have in the open page

  PageSink* sink_;
  DataPage page_;
  bool open_ = false;
  uint32_t page_number_ = 0;
  PageSet pages_;
  bool last_has_room_ = false;
  std::string row_;  // reused for the rows of chains
};

}  // namespace rh::mdb

#endif  // RECORDHAUL_DRIVERS_MDB_LONG_VALUE_PAGES_H_
