#include "drivers/mdb/jet_format.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "base/bytes.h"
#include "base/cp1252.h"

namespace rh::mdb {

namespace {

// A constant of every table definition, repeated in each column entry.
constexpr uint32_t kTableMagic = 0x0659;
constexpr size_t kTdefHeaderSize = 63;
constexpr size_t kColumnEntrySize = 25;
constexpr size_t kDataPageHeaderSize = 14;
constexpr size_t kTdefPageHeaderSize = 8;

constexpr uint8_t kColumnFixed = 0x01;
constexpr uint8_t kColumnUpdatable = 0x02;
constexpr uint8_t kColumnCompressedUnicode = 0x01;

uint8_t* Bytes(std::string& s) { return reinterpret_cast<uint8_t*>(s.data()); }

bool IsTextual(JetType type) {
  return type == JetType::kText || type == JetType::kMemo;
}

void SetBit(std::string* s, size_t byte_offset, uint32_t bit) {
  (*s)[byte_offset + bit / 8] =
      static_cast<char>((*s)[byte_offset + bit / 8] | (1 << (bit % 8)));
}

// What compressed text makes of a Windows-1252 byte: the byte itself (a
// code point below 0x100), two bytes after a switch of mode (above 0xFF),
// or no compressed form at all: a 0 low byte would read as the switch, so
// text holding such a character is stored uncompressed.
enum CompressedForm : uint8_t { kSameByte = 0, kTwoBytes = 1, kNotCompressible = 2 };

struct Cp1252Units {
  char16_t unit[256];  // the UTF-16 code unit of each byte
  uint8_t form[256];   // its CompressedForm
};

const Cp1252Units& Units() {
  static const Cp1252Units units = [] {
    Cp1252Units u{};
    for (int b = 0; b < 256; ++b) {
      u.unit[b] = static_cast<char16_t>(Cp1252ToCodePoint(static_cast<unsigned char>(b)));
      u.form[b] = (u.unit[b] & 0xFF) == 0 ? kNotCompressible
                  : u.unit[b] > 0xFF       ? kTwoBytes
                                           : kSameByte;
    }
    return u;
  }();
  return units;
}

}  // namespace

int FixedSize(JetType type) {
  switch (type) {
    case JetType::kByte: return 1;
    case JetType::kInteger: return 2;
    case JetType::kLong: return 4;
    case JetType::kSingle: return 4;
    case JetType::kDouble: return 8;
    case JetType::kDateTime: return 8;
    default: return 0;
  }
}

TableLayout MakeLayout(std::vector<ColumnSpec> specs) {
  TableLayout layout;
  uint16_t number = 0;
  for (ColumnSpec& spec : specs) {
    ColumnLayout col;
    col.number = number++;
    if (IsVariableLength(spec.type)) {
      layout.var_columns.push_back(col.number);
      col.var_index = layout.num_var_columns++;
    } else {
      layout.fixed_columns.push_back(col.number);
      col.fixed_offset = layout.num_fixed_bytes;
      layout.num_fixed_bytes =
          static_cast<uint16_t>(layout.num_fixed_bytes + FixedSize(spec.type));
    }
    col.spec = std::move(spec);
    layout.columns.push_back(std::move(col));
  }
  return layout;
}

std::string Utf16Bytes(std::u16string_view text) {
  std::string out(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i)
    StoreLittleU16(Bytes(out) + 2 * i, text[i]);
  return out;
}

std::string BuildTableDef(const TableLayout& layout, const TableDefInfo& info) {
  const auto num_columns = static_cast<uint16_t>(layout.columns.size());
  std::string t(kTdefHeaderSize + kColumnEntrySize * num_columns, '\0');
  uint8_t* p = Bytes(t);
  p[0] = static_cast<uint8_t>(PageType::kTableDefinition);
  p[1] = 0x01;
  StoreLittleU32(p + 12, kTableMagic);
  StoreLittleU32(p + 16, info.num_rows);
  p[24] = 0x01;  // lets autonumbering work, were there such a column
  p[40] = info.system ? 0x53 : 0x4E;
  StoreLittleU16(p + 41, num_columns);  // most columns a row ever had
  StoreLittleU16(p + 43, layout.num_var_columns);
  StoreLittleU16(p + 45, num_columns);
  // Offsets 47 and 51: logical and physical index counts, both zero.
  StoreLittleU32(p + 55, info.used_map);
  StoreLittleU32(p + 59, info.free_map);

  for (const ColumnLayout& col : layout.columns) {
    uint8_t* c = p + kTdefHeaderSize + kColumnEntrySize * col.number;
    const JetType type = col.spec.type;
    const bool variable = IsVariableLength(type);
    c[0] = static_cast<uint8_t>(type);
    StoreLittleU32(c + 1, kTableMagic);
    StoreLittleU16(c + 5, col.number);
    StoreLittleU16(c + 7, variable ? col.var_index : 0);
    StoreLittleU16(c + 9, col.number);
    if (IsTextual(type)) StoreLittleU16(c + 11, kGeneralSortOrder);
    c[15] = kColumnUpdatable | (variable ? 0 : kColumnFixed);
    c[16] = IsTextual(type) ? kColumnCompressedUnicode : 0;
    StoreLittleU16(c + 21, variable ? 0 : col.fixed_offset);
    StoreLittleU16(c + 23, variable ? col.spec.length
                                    : static_cast<uint16_t>(FixedSize(type)));
  }
  for (const ColumnLayout& col : layout.columns) {
    std::string name = Utf16Bytes(col.spec.name);
    PutLittleU16(&t, static_cast<uint16_t>(name.size()));
    t += name;
  }
  size_t lv = 0;
  for (const ColumnLayout& col : layout.columns) {
    if (!IsLongValue(col.spec.type)) continue;
    std::array<uint32_t, 2> maps{};
    if (lv < info.long_value_maps.size()) maps = info.long_value_maps[lv];
    ++lv;
    PutLittleU16(&t, col.number);
    PutLittleU32(&t, maps[0]);
    PutLittleU32(&t, maps[1]);
  }
  PutLittleU16(&t, 0xFFFF);
  StoreLittleU32(Bytes(t) + 8, static_cast<uint32_t>(t.size()));
  return t;
}

uint32_t TableDefPageCount(size_t tdef_bytes) {
  if (tdef_bytes <= kPageSize) return 1;
  const size_t per_page = kPageSize - kTdefPageHeaderSize;
  return static_cast<uint32_t>(
      1 + (tdef_bytes - kPageSize + per_page - 1) / per_page);
}

std::vector<std::string> SplitTableDef(const std::string& tdef,
                                       uint32_t first_page) {
  std::vector<std::string> pages;
  size_t pos = 0;
  while (pos < tdef.size() || pages.empty()) {
    std::string page(kPageSize, '\0');
    size_t take;
    size_t used;
    if (pages.empty()) {
      take = std::min(kPageSize, tdef.size());
      std::memcpy(page.data(), tdef.data(), take);
      used = take;
    } else {
      page[0] = static_cast<char>(PageType::kTableDefinition);
      page[1] = 0x01;
      take = std::min(kPageSize - kTdefPageHeaderSize, tdef.size() - pos);
      std::memcpy(page.data() + kTdefPageHeaderSize, tdef.data() + pos, take);
      used = kTdefPageHeaderSize + take;
    }
    pos += take;
    // The field holds the free space less 8, as the format's writers do.
    const size_t free = kPageSize - used;
    StoreLittleU16(Bytes(page) + 2,
                   static_cast<uint16_t>(free > 8 ? free - 8 : 0));
    if (pos < tdef.size()) {
      StoreLittleU32(Bytes(page) + 4,
                     first_page + static_cast<uint32_t>(pages.size()) + 1);
    } else {
      StoreLittleU32(Bytes(page) + 4, 0);
    }
    pages.push_back(std::move(page));
  }
  return pages;
}

namespace {

// AppendJetText's bytes written at p, at most 2 * cp1252.size(); returns
// their end.
uint8_t* PutJetText(std::string_view cp1252, uint8_t* p, bool compress) {
  const Cp1252Units& units = Units();
  auto unit = [&](char c) { return units.unit[static_cast<unsigned char>(c)]; };
  uint8_t forms = 0;
  size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // Eight bytes at a time while they are all 0x01-0x7F, which are their
    // own code units: most text is.
    auto plain_word = [](uint64_t w) {  // a byte >= 0x80, or a zero, is not
      return ((w & 0x8080808080808080ull) | ZeroBytes(w)) == 0;
    };
    auto plain = [&](size_t at) {
      uint64_t w;
      std::memcpy(&w, cp1252.data() + at, 8);
      return plain_word(w);
    };
    const size_t n = cp1252.size();
    if (n >= 8) {
      while (i + 8 <= n && plain(i)) i += 8;
      // The last few bytes as the word that ends the text.
      if (i < n && i + 8 > n && plain(n - 8)) i = n;
    } else if (n >= 4) {
      // Its first and last four bytes, overlapping, as one word.
      uint32_t head, tail;
      std::memcpy(&head, cp1252.data(), 4);
      std::memcpy(&tail, cp1252.data() + n - 4, 4);
      if (plain_word(head | uint64_t{tail} << 32)) i = n;
    }
  }
  for (; i < cp1252.size(); ++i) forms |= units.form[static_cast<unsigned char>(cp1252[i])];
  if (compress && forms == kSameByte && cp1252.size() > 2) {
    // Most text: compressed, it is its own bytes after the mark.
    p[0] = 0xFF;
    p[1] = 0xFE;
    CopyShort(reinterpret_cast<char*>(p + 2), cp1252.data(), cp1252.size());
    return p + 2 + cp1252.size();
  }
  // Compression needs every character to have a non-zero low byte, since a
  // zero byte switches between the one-byte and two-byte modes.
  size_t compressed = 2;
  bool one_byte_mode = true;
  bool compressible = compress && (forms & kNotCompressible) == 0;
  for (size_t k = 0; compressible && k < cp1252.size(); ++k) {
    const char16_t u = unit(cp1252[k]);
    const bool narrow = u <= 0xFF;
    if (narrow != one_byte_mode) {
      ++compressed;
      one_byte_mode = narrow;
    }
    compressed += narrow ? 1 : 2;
  }
  if (!compressible || compressed >= 2 * cp1252.size()) {
    for (char c : cp1252) {
      StoreLittleU16(p, unit(c));
      p += 2;
    }
    return p;
  }
  *p++ = 0xFF;
  *p++ = 0xFE;
  one_byte_mode = true;
  for (char c : cp1252) {
    const char16_t u = unit(c);
    const bool narrow = u <= 0xFF;
    if (narrow != one_byte_mode) {
      *p++ = 0x00;
      one_byte_mode = narrow;
    }
    if (narrow) {
      *p++ = static_cast<uint8_t>(u);
    } else {
      StoreLittleU16(p, u);
      p += 2;
    }
  }
  return p;
}

}  // namespace

void AppendJetText(std::string_view cp1252, std::string* out, bool compress) {
  const size_t start = out->size();
  out->resize(start + 2 * cp1252.size());
  uint8_t* const begin = Bytes(*out);
  out->resize(static_cast<size_t>(PutJetText(cp1252, begin + start, compress) - begin));
}

void AppendMemoText(std::string_view cp1252, std::string* out) {
  AppendJetText(cp1252, out, cp1252.size() <= kMaxCompressedMemoChars);
}

namespace {

// A long value's header, and its bytes when they are in the row.
uint8_t* PutLongValue(const LongValueRef& ref, std::string_view inline_bytes, uint8_t* p) {
  std::memset(p, 0, kLongValueHeaderSize);
  StoreLittleU32(p, (ref.length & kMaxLongValueBytes) | static_cast<uint32_t>(ref.kind) << 24);
  if (ref.kind != LongValueKind::kInline) StoreLittleU32(p + 4, ref.pointer);
  p += kLongValueHeaderSize;
  if (ref.kind == LongValueKind::kInline && !inline_bytes.empty()) {
    std::memcpy(p, inline_bytes.data(), inline_bytes.size());
    p += inline_bytes.size();
  }
  return p;
}

}  // namespace

void EncodeRow(const TableLayout& layout, const std::vector<Cell>& cells,
               std::string* out) {
  const size_t n = layout.columns.size();
  const size_t fixed_end = 2 + layout.num_fixed_bytes;
  const size_t mask_size = (n + 7) / 8;
  // Room for the most the row can take, filled in place and cut to size.
  size_t most = fixed_end + 2 * (layout.num_var_columns + 2) + mask_size;
  for (uint16_t i : layout.var_columns) {
    if (cells[i].kind == Cell::Kind::kNull) continue;
    most += IsLongValue(layout.columns[i].spec.type) ? kLongValueHeaderSize + cells[i].text.size()
                                                     : 2 * cells[i].text.size();
  }
  out->resize(most);
  uint8_t* const row = Bytes(*out);
  std::memset(row, 0, fixed_end);
  uint8_t mask[(kMaxColumns + 7) / 8] = {};
  auto set = [&](uint16_t number) { mask[number / 8] |= static_cast<uint8_t>(1 << (number % 8)); };
  StoreLittleU16(row, static_cast<uint16_t>(n));

  for (uint16_t i : layout.fixed_columns) {
    const ColumnLayout& col = layout.columns[i];
    const Cell& cell = cells[i];
    if (cell.kind == Cell::Kind::kNull) continue;
    uint8_t* p = row + 2 + col.fixed_offset;
    switch (col.spec.type) {
      case JetType::kBoolean:
        if (cell.integer == 0) continue;  // false is a clear bit
        break;
      case JetType::kByte: p[0] = static_cast<uint8_t>(cell.integer); break;
      case JetType::kInteger:
        StoreLittleU16(p, static_cast<uint16_t>(cell.integer));
        break;
      case JetType::kLong:
        StoreLittleU32(p, static_cast<uint32_t>(cell.integer));
        break;
      case JetType::kSingle:
        StoreLittleU32(p, std::bit_cast<uint32_t>(static_cast<float>(cell.real)));
        break;
      case JetType::kDouble:
      case JetType::kDateTime: StoreLittleDouble(p, cell.real); break;
      default: break;
    }
    set(col.number);
  }

  uint8_t* p = row + fixed_end;
  if (layout.num_var_columns > 0) {
    // Offsets from the row start; a null or empty value has zero length.
    uint16_t offsets[kMaxColumns + 1];
    size_t k = 0;
    for (uint16_t i : layout.var_columns) {
      const ColumnLayout& col = layout.columns[i];
      offsets[k++] = static_cast<uint16_t>(p - row);
      if (cells[i].kind == Cell::Kind::kNull) continue;
      p = IsLongValue(col.spec.type) ? PutLongValue(cells[i].long_value, cells[i].text, p)
                                     : PutJetText(cells[i].text, p, true);
      set(col.number);
    }
    StoreLittleU16(p, static_cast<uint16_t>(p - row));  // end of data
    p += 2;
    while (k > 0) {
      StoreLittleU16(p, offsets[--k]);
      p += 2;
    }
    StoreLittleU16(p, layout.num_var_columns);
    p += 2;
  }
  std::memcpy(p, mask, mask_size);
  out->resize(static_cast<size_t>(p + mask_size - row));
}

DataPage::DataPage(uint32_t owner_tdef) : page_(kPageSize, '\0') {
  page_[0] = static_cast<char>(PageType::kData);
  page_[1] = 0x01;
  StoreLittleU32(Bytes(page_) + 4, owner_tdef);
  Reset();
}

void DataPage::Reset() {
  std::memset(page_.data() + 8, 0, kPageSize - 8);
  num_rows_ = 0;
  data_start_ = kPageSize;
  StoreLittleU16(Bytes(page_) + 2, static_cast<uint16_t>(free_space()));
}

size_t DataPage::free_space() const {
  return data_start_ - kDataPageHeaderSize - 2 * num_rows_;
}

bool DataPage::Add(std::string_view row) {
  if (num_rows_ >= kMaxRowsPerPage || row.size() + 2 > free_space())
    return false;
  data_start_ -= row.size();
  std::memcpy(page_.data() + data_start_, row.data(), row.size());
  StoreLittleU16(Bytes(page_) + kDataPageHeaderSize + 2 * num_rows_,
                 static_cast<uint16_t>(data_start_));
  ++num_rows_;
  StoreLittleU16(Bytes(page_) + 12, static_cast<uint16_t>(num_rows_));
  StoreLittleU16(Bytes(page_) + 2, static_cast<uint16_t>(free_space()));
  return true;
}

std::string InlineMapRow(uint32_t start, uint32_t first, uint32_t count) {
  std::string row(kMapRowSize, '\0');
  StoreLittleU32(Bytes(row) + 1, start);
  for (uint32_t p = first; p < first + count; ++p)
    if (p >= start && p - start < kInlineMapPages) SetBit(&row, 5, p - start);
  return row;
}

std::string InlineMapRow(uint32_t start, const PageSet& pages) {
  std::string row(kMapRowSize, '\0');
  StoreLittleU32(Bytes(row) + 1, start);
  if (pages.empty()) return row;
  const uint32_t end = std::min<uint64_t>(pages.back() + uint64_t{1}, uint64_t{start} + kInlineMapPages);
  for (uint32_t p = std::max(start, pages.front()); p < end; ++p)
    if (pages.Contains(p)) SetBit(&row, 5, p - start);
  return row;
}

std::string InlineFreeTailRow(uint32_t start, uint32_t from) {
  std::string row(kMapRowSize, '\0');
  StoreLittleU32(Bytes(row) + 1, start);
  for (uint32_t bit = from > start ? from - start : 0; bit < kInlineMapPages;
       ++bit)
    SetBit(&row, 5, bit);
  return row;
}

std::string ReferenceMapRow(const std::array<uint32_t, kReferenceSlots>& pages) {
  std::string row(kMapRowSize, '\0');
  row[0] = 0x01;
  for (size_t k = 0; k < kReferenceSlots; ++k)
    StoreLittleU32(Bytes(row) + 1 + 4 * k, pages[k]);
  return row;
}

std::string UsageMapPage(size_t slot, uint32_t first, uint32_t count) {
  std::string page(kPageSize, '\0');
  page[0] = static_cast<char>(PageType::kUsageMap);
  page[1] = 0x01;
  const uint64_t base = uint64_t{kPagesPerMapPage} * slot;
  const uint64_t lo = std::max<uint64_t>(first, base);
  const uint64_t hi =
      std::min<uint64_t>(uint64_t{first} + count, base + kPagesPerMapPage);
  for (uint64_t p = lo; p < hi; ++p)
    SetBit(&page, 4, static_cast<uint32_t>(p - base));
  return page;
}

std::string UsageMapPage(size_t slot, const PageSet& pages) {
  std::string page(kPageSize, '\0');
  page[0] = static_cast<char>(PageType::kUsageMap);
  page[1] = 0x01;
  if (pages.empty()) return page;
  const uint64_t base = uint64_t{kPagesPerMapPage} * slot;
  const uint64_t lo = std::max<uint64_t>(pages.front(), base);
  const uint64_t hi = std::min<uint64_t>(pages.back() + uint64_t{1}, base + kPagesPerMapPage);
  for (uint64_t p = lo; p < hi; ++p)
    if (pages.Contains(static_cast<uint32_t>(p))) SetBit(&page, 4, static_cast<uint32_t>(p - base));
  return page;
}

void Rc4(const uint8_t* key, size_t key_len, uint8_t* data, size_t len) {
  uint8_t s[256];
  for (int i = 0; i < 256; ++i) s[i] = static_cast<uint8_t>(i);
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + s[i] + key[i % key_len]) & 0xFF;
    std::swap(s[i], s[j]);
  }
  for (size_t k = 0, i = 0, j = 0; k < len; ++k) {
    i = (i + 1) & 0xFF;
    j = (j + s[i]) & 0xFF;
    std::swap(s[i], s[j]);
    data[k] ^= s[(s[i] + s[j]) & 0xFF];
  }
}

std::string BuildHeaderPage(const HeaderInfo& info) {
  std::string page(kPageSize, '\0');
  uint8_t* p = Bytes(page);
  p[1] = 0x01;
  std::memcpy(p + 4, "Standard Jet DB", 15);
  p[0x14] = 0x01;  // Jet 4
  StoreLittleU16(p + 0x3C, info.code_page);
  // 0x3E: page encryption key, zero for a database that is not encrypted.
  // 0x42: the password, 40 bytes, stored XOR-ed with the whole days of the
  // creation date; an empty password is therefore the mask itself.
  uint8_t mask[4];
  StoreLittleU32(mask, static_cast<uint32_t>(
                           static_cast<int32_t>(std::trunc(info.creation_date))));
  for (size_t i = 0; i < 40; ++i) p[0x42 + i] = mask[i % 4];
  StoreLittleU16(p + 0x6E, info.sort_order);  // 0x70, 0x71: version 0
  StoreLittleDouble(p + 0x72, info.creation_date);
  Rc4(kHeaderKey, sizeof kHeaderKey, p + kHeaderMaskOffset, kHeaderMaskLength);
  return page;
}

}  // namespace rh::mdb
