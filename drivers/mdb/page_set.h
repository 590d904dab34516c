// A set of page numbers, added in increasing order: the pages a usage map
// lists. Data pages and long-value pages of a table take turns in the file,
// so neither kind is one contiguous run.
#ifndef RECORDHAUL_DRIVERS_MDB_PAGE_SET_H_
#define RECORDHAUL_DRIVERS_MDB_PAGE_SET_H_

#include <cstdint>
#include <vector>

namespace rh::mdb {

class PageSet {
 public:
  PageSet() = default;
  // The pages first .. first + count - 1.
  static PageSet Range(uint32_t first, uint32_t count);

  // `page` must be greater than every page added before.
  void Add(uint32_t page);

  bool Contains(uint32_t page) const {
    return page / 64 < bits_.size() && (bits_[page / 64] >> (page % 64) & 1) != 0;
  }
  bool empty() const { return size_ == 0; }
  uint32_t size() const { return size_; }
  // The lowest and highest page; 0 for an empty set.
  uint32_t front() const { return front_; }
  uint32_t back() const { return back_; }

 private:
  std::vector<uint64_t> bits_;  // bit p % 64 of word p / 64: page p
  uint32_t size_ = 0;
  uint32_t front_ = 0;
  uint32_t back_ = 0;
};

}  // namespace rh::mdb

#endif  // RECORDHAUL_DRIVERS_MDB_PAGE_SET_H_
