#include "drivers/mdb/page_set.h"

namespace rh::mdb {

PageSet PageSet::Range(uint32_t first, uint32_t count) {
  PageSet set;
  for (uint32_t p = first; p - first < count; ++p) set.Add(p);
  return set;
}

void PageSet::Add(uint32_t page) {
  if (bits_.size() <= page / 64) bits_.resize(page / 64 + 1, 0);
  bits_[page / 64] |= uint64_t{1} << (page % 64);
  if (size_ == 0) front_ = page;
  back_ = page;
  ++size_;
}

}  // namespace rh::mdb
