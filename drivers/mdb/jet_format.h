// Building blocks of the Jet 4 (Access 2000) database file: pages of 4096
// bytes holding the database header, table definitions, data rows and page
// usage maps. Everything here builds bytes in memory; the engine decides
// which page goes where and writes them.
//
// All multi-byte numbers in the file are little-endian. Texts are UTF-16LE,
// in data rows optionally in Jet 4's compressed form.
#ifndef RECORDHAUL_DRIVERS_MDB_JET_FORMAT_H_
#define RECORDHAUL_DRIVERS_MDB_JET_FORMAT_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drivers/mdb/page_set.h"

namespace rh::mdb {

inline constexpr size_t kPageSize = 4096;
inline constexpr size_t kMaxRowSize = 4060;       // largest row Jet 4 stores
inline constexpr size_t kMaxRowsPerPage = 255;     // row numbers are one byte
inline constexpr size_t kMaxColumns = 255;
inline constexpr size_t kMaxNameLength = 64;       // tables and columns
inline constexpr size_t kMaxTextLength = 255;      // characters of a TEXT
// Jet 4 files end at 2 GB.
inline constexpr uint32_t kMaxPages = 0x80000000u / kPageSize;

enum class PageType : uint8_t {
  kDatabaseDefinition = 0x00,
  kData = 0x01,
  kTableDefinition = 0x02,
  kUsageMap = 0x05,
};

// Column type codes of the table definition.
enum class JetType : uint8_t {
  kBoolean = 0x01,
  kByte = 0x02,
  kInteger = 0x03,   // 16-bit
  kLong = 0x04,      // 32-bit
  kSingle = 0x06,
  kDouble = 0x07,
  kDateTime = 0x08,
  kBinary = 0x09,
  kText = 0x0A,
  kOle = 0x0B,
  kMemo = 0x0C,
};

// Bytes a fixed-length type takes in the row; 0 for variable-length types
// (and for booleans, which live in the null mask).
int FixedSize(JetType type);
inline bool IsVariableLength(JetType type) {
  return type == JetType::kBinary || type == JetType::kText || type == JetType::kOle ||
         type == JetType::kMemo;
}
inline bool IsLongValue(JetType type) {  // memo and OLE
  return type == JetType::kOle || type == JetType::kMemo;
}

// "General" sort order, the one of LANGID 0x0409.
inline constexpr uint16_t kGeneralSortOrder = 0x0409;

struct ColumnSpec {
  std::u16string name;
  JetType type = JetType::kText;
  uint16_t length = 0;  // bytes: 2 per character for TEXT, 0 for memo/OLE
};

// Where each column's value lives in a row, worked out once per table.
struct ColumnLayout {
  ColumnSpec spec;
  uint16_t number = 0;        // position in the table, from 0
  uint16_t fixed_offset = 0;  // after the row's column count (fixed columns)
  uint16_t var_index = 0;     // entry of the offset table (variable columns)
};

struct TableLayout {
  std::vector<ColumnLayout> columns;
  uint16_t num_fixed_bytes = 0;
  uint16_t num_var_columns = 0;
  // The indexes in `columns` of the fixed and of the variable-length
  // columns, in order: a row is encoded walking each list once.
  std::vector<uint16_t> fixed_columns;
  std::vector<uint16_t> var_columns;
};

TableLayout MakeLayout(std::vector<ColumnSpec> specs);

// A page and row address as the file stores it: page << 8 | row.
inline uint32_t RowPointer(uint32_t page, uint8_t row) {
  return (page << 8) | row;
}

// The table definition's variable parts. Usage maps are rows of data pages;
// a long-value column (memo, OLE) has a pair of maps of its own.
struct TableDefInfo {
  bool system = false;
  uint32_t num_rows = 0;
  uint32_t used_map = 0;  // RowPointer of the owned-pages map
  uint32_t free_map = 0;  // RowPointer of the pages-with-free-space map
  // For each long-value column in column order: its used and free maps.
  std::vector<std::array<uint32_t, 2>> long_value_maps;
};

// The table definition as one logical byte string (page header included).
std::string BuildTableDef(const TableLayout& layout, const TableDefInfo& info);
// The number of pages BuildTableDef's bytes take when split by SplitTableDef.
uint32_t TableDefPageCount(size_t tdef_bytes);
// Cuts the table definition into pages first_page, first_page + 1, ...,
// linked through their next-page fields.
std::vector<std::string> SplitTableDef(const std::string& tdef,
                                       uint32_t first_page);

// The text as stored in a TEXT or memo value: Windows-1252 bytes become
// UTF-16LE, compressed (0xFF 0xFE, then one byte per character whose high
// byte is zero) when `compress` allows it and that is shorter. Appends to
// *out.
void AppendJetText(std::string_view cp1252, std::string* out, bool compress = true);

// Memo values. Jet compresses a memo only up to 1024 characters; longer
// ones are stored as plain UTF-16LE.
inline constexpr size_t kMaxCompressedMemoChars = 1024;
void AppendMemoText(std::string_view cp1252, std::string* out);

// In its row a memo is a 12-byte reference: the stored length in the low 24
// bits and where the bytes are in the top byte, the row pointer of the
// long-value row, and 4 zero bytes; an inline memo's bytes follow it. A
// long-value row on another page holds the whole value (kOtherPage), or the
// value is a chain of rows, each beginning with the pointer to the next and
// the last with 0 (kChained).
enum class LongValueKind : uint8_t { kChained = 0x00, kOtherPage = 0x40, kInline = 0x80 };
inline constexpr size_t kLongValueHeaderSize = 12;
inline constexpr uint32_t kMaxLongValueBytes = 0xFFFFFF;
// Characters of a memo: as plain UTF-16LE they must fit the length field.
inline constexpr size_t kMaxMemoLength = kMaxLongValueBytes / 2;
// Short memos stay in their row; longer ones go to long-value pages.
inline constexpr size_t kMaxInlineLongValue = 64;

struct LongValueRef {
  LongValueKind kind = LongValueKind::kInline;
  uint32_t length = 0;   // stored bytes
  uint32_t pointer = 0;  // RowPointer of the (first) long-value row
};
// The UTF-16LE bytes of a name as the table definition stores it.
std::string Utf16Bytes(std::u16string_view text);

// One value of a row being encoded. Text points at bytes that must outlive
// the call to EncodeRow: Windows-1252 for kText, the stored bytes of an
// inline memo for kLongValue. A memo column takes kNull or kLongValue.
struct Cell {
  enum class Kind { kNull, kInteger, kDouble, kText, kLongValue };
  Kind kind = Kind::kNull;
  int64_t integer = 0;
  double real = 0;
  std::string_view text;
  LongValueRef long_value;  // kLongValue
};

// Encodes one row of `layout` with one cell per column (same order) into
// *out, replacing its content. Integers are stored in the width of their
// column; doubles as IEEE single or double. The caller has checked ranges.
void EncodeRow(const TableLayout& layout, const std::vector<Cell>& cells,
               std::string* out);

// Long-value pages are data pages marked "LVAL" where a data page names its
// table. The largest long-value row fills an empty page.
inline constexpr uint32_t kLongValuePageMark = 0x4C41564C;  // "LVAL"
inline constexpr size_t kMaxLongValueRow = kPageSize - 14 - 2;

// A data page filling from its end: the rows go downward from byte 4095, their
// offsets upward from byte 14.
class DataPage {
 public:
  // `owner_tdef` is the table's definition page, or kLongValuePageMark.
  explicit DataPage(uint32_t owner_tdef);
  // False when the row does not fit (space or row count).
  bool Add(std::string_view row);
  void Reset();
  size_t num_rows() const { return num_rows_; }
  size_t free_space() const;
  const std::string& bytes() const { return page_; }

 private:
  std::string page_;
  size_t num_rows_ = 0;
  size_t data_start_ = kPageSize;  // first byte of the lowest row
};

// Usage maps. An inline map is a 69-byte row: type 0, a start page and a
// bitmap of 512 pages. A reference map is a 69-byte row of type 1 followed by
// 17 page numbers of usage-map pages, the k-th of which maps the pages from
// k * kPagesPerMapPage on.
inline constexpr size_t kMapRowSize = 69;
inline constexpr uint32_t kInlineMapPages = 64 * 8;
inline constexpr uint32_t kPagesPerMapPage = (kPageSize - 4) * 8;
inline constexpr size_t kReferenceSlots = 17;

// Inline map of the pages of `pages` that lie in [start, start + 512).
std::string InlineMapRow(uint32_t start, const PageSet& pages);
// Inline map of the pages first..first+count-1 (count may be 0), with its
// start page at `start` (start <= first, first + count <= start + 512).
std::string InlineMapRow(uint32_t start, uint32_t first, uint32_t count);
// Inline map with the bits of the pages [from, start + 512) set: the global
// map's way of marking the pages past the end of the file as free.
std::string InlineFreeTailRow(uint32_t start, uint32_t from);
std::string ReferenceMapRow(const std::array<uint32_t, kReferenceSlots>& pages);
// The usage-map page with index `slot` of a reference map, with the bits set
// of the pages of `pages` (or [first, first + count)) in its range.
std::string UsageMapPage(size_t slot, const PageSet& pages);
std::string UsageMapPage(size_t slot, uint32_t first, uint32_t count);

// The database definition page (page 0).
struct HeaderInfo {
  uint16_t code_page = 1252;
  uint16_t sort_order = kGeneralSortOrder;
  double creation_date = 0;  // days since 1899-12-30, as Jet dates
};
std::string BuildHeaderPage(const HeaderInfo& info);

// The RC4 stream cipher; Jet masks part of page 0 with it.
void Rc4(const uint8_t* key, size_t key_len, uint8_t* data, size_t len);

// Bytes of page 0 that are RC4-masked with a fixed key.
inline constexpr size_t kHeaderMaskOffset = 0x18;
inline constexpr size_t kHeaderMaskLength = 128;
inline constexpr uint8_t kHeaderKey[4] = {0xC7, 0xDA, 0x39, 0x6B};

}  // namespace rh::mdb

#endif  // RECORDHAUL_DRIVERS_MDB_JET_FORMAT_H_
