#include "drivers/mdb/jet_format.h"

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "base/cp1252.h"

namespace rh::mdb {
namespace {

const uint8_t* U(const std::string& s, size_t offset = 0) {
  return reinterpret_cast<const uint8_t*>(s.data()) + offset;
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

TEST(JetText, CompressesOnlyWhenShorterAndPossible) {
  struct Case {
    std::string cp1252;
    std::string stored;
  } cases[] = {
      {"", ""},
      {"A", "41 00"},                       // FF FE 41 is longer
      {"AB", "42 00"},                      // placeholder, replaced below
      {"ABC", "ff fe 41 42 43"},
      {"O'Brien", "ff fe 4f 27 42 72 69 65 6e"},
      {"\xe9t\xe9", "ff fe e9 74 e9"},      // é is U+00E9: one byte
      {"\x80", "ac 20"},                    // € is U+20AC: two bytes
      {"abc\x80" "def", "ff fe 61 62 63 00 ac 20 00 64 65 66"},
      {"ab\x80" "cd", "61 00 62 00 ac 20 63 00 64 00"},  // as long: plain
      {"\x80\x80", "ac 20 ac 20"},          // switching costs more
      {std::string("a\0b", 3), "61 00 00 00 62 00"},  // a zero low byte
  };
  cases[2].stored = "41 00 42 00";  // FF FE 41 42 is as long: not compressed
  for (const auto& c : cases) {
    std::string out = "x";
    AppendJetText(c.cp1252, &out);
    EXPECT_EQ(Hex(out.substr(1)), c.stored) << Hex(c.cp1252);
  }
}

// The stored form worked out character by character: UTF-16LE, or the
// compressed form where no character has a zero low byte and it is shorter.
std::string StoredByTheRule(std::string_view cp1252) {
  std::string plain, compressed = "\xff\xfe";
  bool compressible = true, one_byte_mode = true;
  for (char16_t u : Cp1252ToUtf16(cp1252)) {
    plain += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    compressible = compressible && (u & 0xFF) != 0;
    if ((u <= 0xFF) != one_byte_mode) {
      compressed += '\0';
      one_byte_mode = u <= 0xFF;
    }
    compressed += one_byte_mode ? std::string(1, static_cast<char>(u)) : plain.substr(plain.size() - 2);
  }
  return compressible && compressed.size() < plain.size() ? compressed : plain;
}

TEST(JetText, RandomTextsAreStoredByTheRule) {
  // Mostly plain text, with now and then a byte of two UTF-16 bytes, a zero
  // or one of the code page's undefined bytes, which stay one byte.
  const std::string rare = std::string("\x80\x9f\x8a\0\x81\x8d\x8f\x90\x9d\xe9\xff", 11);
  uint32_t x = 12345;
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    for (int n = static_cast<int>((x = x * 1664525u + 1013904223u) >> 27); n > 0; --n) {
      x = x * 1664525u + 1013904223u;
      text += (x >> 24) % 8 == 0 ? rare[(x >> 8) % rare.size()] : static_cast<char>(' ' + (x >> 8) % 95);
    }
    std::string stored = "x";
    AppendJetText(text, &stored);
    ASSERT_EQ(Hex(stored.substr(1)), Hex(StoredByTheRule(text))) << Hex(text);
  }
}

TEST(JetMemo, CompressedUpTo1024Characters) {
  struct Case {
    size_t length;
    size_t stored;  // bytes
  } cases[] = {{0, 0}, {3, 5}, {1024, 1026}, {1025, 2050}, {32767, 65534}};
  for (const auto& c : cases) {
    std::string out;
    AppendMemoText(std::string(c.length, 'x'), &out);
    EXPECT_EQ(out.size(), c.stored) << c.length;
  }
}

TEST(JetHeader, MaskedFieldsDecodeToLocaleAndDate) {
  HeaderInfo info;
  info.creation_date = 46000.75;
  std::string page = BuildHeaderPage(info);
  ASSERT_EQ(page.size(), kPageSize);
  EXPECT_EQ(page.substr(0, 20), std::string("\0\1\0\0Standard Jet DB\0", 20));
  EXPECT_EQ(page[0x14], 1);  // Jet 4
  Rc4(kHeaderKey, 4, reinterpret_cast<uint8_t*>(page.data()) + kHeaderMaskOffset,
      kHeaderMaskLength);
  EXPECT_EQ(LoadLittleU16(U(page, 0x3C)), 1252);
  EXPECT_EQ(LoadLittleU32(U(page, 0x3E)), 0u);  // not encrypted
  EXPECT_EQ(LoadLittleU16(U(page, 0x6E)), 0x0409);
  EXPECT_EQ(LoadLittleDouble(U(page, 0x72)), 46000.75);
  // The password area XOR its mask (whole days of the date) is empty.
  for (size_t i = 0; i < 40; ++i) {
    const uint8_t mask = static_cast<uint8_t>(46000 >> (8 * (i % 4)));
    EXPECT_EQ(static_cast<uint8_t>(page[0x42 + i]) ^ mask, 0) << i;
  }
  for (size_t i = kHeaderMaskOffset + kHeaderMaskLength; i < kPageSize; ++i)
    ASSERT_EQ(page[i], 0) << i;
}

TEST(JetRc4, KnownVector) {
  // "Key" / "Plaintext" -> BB F3 16 E8 D9 40 AF 0A D3.
  std::string data = "Plaintext";
  Rc4(reinterpret_cast<const uint8_t*>("Key"), 3,
      reinterpret_cast<uint8_t*>(data.data()), data.size());
  EXPECT_EQ(Hex(data), "bb f3 16 e8 d9 40 af 0a d3");
}

TableLayout Mixed() {
  return MakeLayout({{u"T", JetType::kText, 20},
                     {u"L", JetType::kLong, 0},
                     {u"U", JetType::kText, 510},
                     {u"S", JetType::kInteger, 0},
                     {u"D", JetType::kDouble, 0},
                     {u"B", JetType::kByte, 0},
                     {u"F", JetType::kSingle, 0}});
}

TEST(JetLayout, FixedOffsetsAndVariableIndexes) {
  TableLayout t = Mixed();
  struct Want {
    uint16_t fixed_offset, var_index;
  } want[] = {{0, 0}, {0, 0}, {0, 1}, {4, 0}, {6, 0}, {14, 0}, {15, 0}};
  ASSERT_EQ(t.columns.size(), 7u);
  for (size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(t.columns[i].number, i);
    EXPECT_EQ(t.columns[i].fixed_offset, want[i].fixed_offset) << i;
    EXPECT_EQ(t.columns[i].var_index, want[i].var_index) << i;
  }
  EXPECT_EQ(t.num_fixed_bytes, 19);
  EXPECT_EQ(t.num_var_columns, 2);
}

TEST(JetRow, LayoutOfFixedVariableAndNullValues) {
  TableLayout t = Mixed();
  std::vector<Cell> cells(7);
  cells[0] = {Cell::Kind::kText, 0, 0, "ABC", {}};
  cells[1] = {Cell::Kind::kInteger, -2, 0, {}, {}};
  // cells[2] stays null
  cells[3] = {Cell::Kind::kInteger, 0x1234, 0, {}, {}};
  cells[4] = {Cell::Kind::kDouble, 0, 12.5, {}, {}};
  cells[5] = {Cell::Kind::kInteger, 255, 0, {}, {}};
  cells[6] = {Cell::Kind::kDouble, 0, 0.5, {}, {}};
  std::string row;
  EncodeRow(t, cells, &row);
  // count | fixed 19 bytes | "ABC" compressed | eod | offsets (reversed) |
  // var count | null mask
  EXPECT_EQ(Hex(row.substr(0, 2)), "07 00");
  EXPECT_EQ(Hex(row.substr(2, 19)),
            "fe ff ff ff 34 12 00 00 00 00 00 00 29 40 ff 00 00 00 3f");
  EXPECT_EQ(Hex(row.substr(21, 5)), "ff fe 41 42 43");
  EXPECT_EQ(Hex(row.substr(26)), "1a 00 1a 00 15 00 02 00 7b");
  // Null mask: every column but U (bit 2) is set.
}

TEST(JetRow, TableWithoutVariableColumnsHasNoOffsetTable) {
  TableLayout t = MakeLayout({{u"L", JetType::kLong, 0}});
  std::string row;
  EncodeRow(t, {Cell{Cell::Kind::kInteger, 7, 0, {}, {}}}, &row);
  EXPECT_EQ(Hex(row), "01 00 07 00 00 00 01");
}

TEST(JetDataPage, FillsFromTheEndAndStopsWhenFull) {
  DataPage page(8);
  std::string row(100, 'r');
  size_t added = 0;
  while (page.Add(row)) ++added;
  EXPECT_EQ(added, (kPageSize - 14) / 102);
  const std::string& p = page.bytes();
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(LoadLittleU32(U(p, 4)), 8u);
  EXPECT_EQ(LoadLittleU16(U(p, 12)), added);
  EXPECT_EQ(LoadLittleU16(U(p, 14)), kPageSize - 100);
  EXPECT_EQ(LoadLittleU16(U(p, 16)), kPageSize - 200);
  EXPECT_EQ(LoadLittleU16(U(p, 2)), page.free_space());
  page.Reset();
  EXPECT_EQ(page.num_rows(), 0u);
  EXPECT_EQ(page.free_space(), kPageSize - 14);
}

TEST(JetDataPage, AtMost255Rows) {
  DataPage page(8);
  size_t added = 0;
  while (page.Add("xy")) ++added;
  EXPECT_EQ(added, kMaxRowsPerPage);
}

TEST(JetUsageMap, InlineAndReferenceForms) {
  std::string row = InlineMapRow(8, 10, 3);
  ASSERT_EQ(row.size(), kMapRowSize);
  EXPECT_EQ(Hex(row.substr(0, 7)), "00 08 00 00 00 1c 00");

  row = InlineFreeTailRow(0, 509);
  EXPECT_EQ(Hex(row.substr(64)), "00 00 00 00 e0");

  std::array<uint32_t, kReferenceSlots> slots{};
  slots[0] = 40;
  slots[1] = 41;
  row = ReferenceMapRow(slots);
  EXPECT_EQ(Hex(row.substr(0, 9)), "01 28 00 00 00 29 00 00 00");

  // Pages 32730 .. 32739 span the first two map pages.
  std::string first = UsageMapPage(0, 32730, 10);
  std::string second = UsageMapPage(1, 32730, 10);
  EXPECT_EQ(Hex(first.substr(0, 4)), "05 01 00 00");
  EXPECT_EQ(Hex(first.substr(4 + 32730 / 8)), "fc");  // bits 2..7 of the last byte
  EXPECT_EQ(Hex(second.substr(4, 2)), "0f 00");

  // Data pages between long-value pages: only those of the set.
  PageSet set;
  for (uint32_t p : {9u, 11u, 12u, 520u, 32737u}) set.Add(p);
  EXPECT_EQ(Hex(InlineMapRow(8, set).substr(0, 7)), "00 08 00 00 00 1a 00");
  EXPECT_EQ(Hex(InlineMapRow(8, set).substr(68)), "00");  // 520 lies past the map
  EXPECT_EQ(Hex(UsageMapPage(0, set).substr(4, 3)), "00 1a 00");
  EXPECT_EQ(Hex(UsageMapPage(0, set).substr(4 + 520 / 8, 1)), "01");
  EXPECT_EQ(Hex(UsageMapPage(1, set).substr(4, 1)), "02");
  EXPECT_EQ(UsageMapPage(0, PageSet::Range(8, 3)), UsageMapPage(0, 8, 3));
}

TEST(JetTableDef, HeaderColumnsAndNames) {
  TableDefInfo info;
  info.num_rows = 5;
  info.used_map = RowPointer(6, 24);
  info.free_map = RowPointer(6, 25);
  std::string t = BuildTableDef(Mixed(), info);
  EXPECT_EQ(t[0], 2);
  EXPECT_EQ(LoadLittleU32(U(t, 8)), t.size());
  EXPECT_EQ(LoadLittleU32(U(t, 16)), 5u);
  EXPECT_EQ(static_cast<uint8_t>(t[40]), 0x4E);  // user table
  EXPECT_EQ(LoadLittleU16(U(t, 43)), 2);          // variable columns
  EXPECT_EQ(LoadLittleU16(U(t, 45)), 7);
  EXPECT_EQ(LoadLittleU32(U(t, 51)), 0u);         // no indexes
  EXPECT_EQ(LoadLittleU32(U(t, 55)), 0x618u);
  EXPECT_EQ(LoadLittleU32(U(t, 59)), 0x619u);
  struct Want {
    uint8_t type, flags, compressed;
    uint16_t length;
  } want[] = {{0x0A, 0x02, 1, 20}, {0x04, 0x03, 0, 4}, {0x0A, 0x02, 1, 510},
              {0x03, 0x03, 0, 2},  {0x07, 0x03, 0, 8}, {0x02, 0x03, 0, 1},
              {0x06, 0x03, 0, 4}};
  for (size_t i = 0; i < 7; ++i) {
    const uint8_t* c = U(t, 63 + 25 * i);
    EXPECT_EQ(c[0], want[i].type) << i;
    EXPECT_EQ(LoadLittleU16(c + 5), i);
    EXPECT_EQ(c[15], want[i].flags) << i;
    EXPECT_EQ(c[16], want[i].compressed) << i;
    EXPECT_EQ(LoadLittleU16(c + 23), want[i].length) << i;
    if (want[i].type == 0x0A) {
      EXPECT_EQ(LoadLittleU16(c + 11), 0x0409);
    }
  }
  EXPECT_EQ(Hex(t.substr(63 + 25 * 7, 4)), "02 00 54 00");  // "T"
  EXPECT_EQ(Hex(t.substr(t.size() - 2)), "ff ff");
}

TEST(JetTableDef, SpansPagesWhenLong) {
  std::vector<ColumnSpec> specs;
  for (int i = 0; i < 255; ++i) {
    std::u16string name(64, u'a');
    name += static_cast<char16_t>(u'0' + i % 10);
    specs.push_back({name.substr(1), JetType::kText, 510});
  }
  std::string t = BuildTableDef(MakeLayout(std::move(specs)), {});
  const uint32_t count = TableDefPageCount(t.size());
  auto pages = SplitTableDef(t, 8);
  ASSERT_EQ(pages.size(), count);
  ASSERT_GT(count, 1u);
  std::string joined = pages[0];
  for (size_t i = 0; i < pages.size(); ++i) {
    ASSERT_EQ(pages[i].size(), kPageSize);
    EXPECT_EQ(pages[i][0], 2);
    const uint32_t next = LoadLittleU32(U(pages[i], 4));
    EXPECT_EQ(next, i + 1 < pages.size() ? 8 + i + 1 : 0) << i;
    if (i > 0) joined += pages[i].substr(8);
  }
  EXPECT_TRUE(joined.compare(8, t.size() - 8, t, 8) == 0);  // all but the link
  EXPECT_EQ(TableDefPageCount(kPageSize), 1u);
  EXPECT_EQ(TableDefPageCount(kPageSize + 1), 2u);
  EXPECT_EQ(TableDefPageCount(kPageSize + 4088), 2u);
  EXPECT_EQ(TableDefPageCount(kPageSize + 4089), 3u);
}

}  // namespace
}  // namespace rh::mdb
