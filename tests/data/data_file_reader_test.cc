#include "data/data_file_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "sample/sample_data.h"
#include "tests/test_util.h"

namespace rh {
namespace {

using sample::BuildDataFile;
using sample::BuildRegister;

class ReaderTest : public ::testing::Test {
 protected:
  static constexpr int32_t kLength = 16;

  DataFileLocation Where() { return {dir_ / "data", dir_ / "sys", "QZGL", "01", 1}; }

  void WriteData(const std::string& bytes) {
    test::WriteFile(dir_ / "data/QZGL01FR.dat", BuildRegister("Co", {{1, kLength, 0}}));
    test::WriteFile(dir_ / "data/QZGL0101.dat", bytes);
  }

  static std::string Rec(char fill) { return std::string(kLength, fill); }
  static std::string Deleted() { return std::string(6, '\xFF') + std::string(kLength - 6, 'd'); }

  // Reads like the record loop: header, then up to N records; returns the
  // fill byte of each record not deleted ('-' for a deleted one).
  std::string ReadAll(int32_t* header = nullptr, int32_t length = kLength) {
    auto reader = DataFileReader::Open(Env::Default(), Where(), length, MessageId::kDataFileOpenFailText);
    if (!reader.ok()) return "error:" + reader.status().caption();
    auto n = (*reader)->ReadHeader();
    if (!n.ok()) return "error:read";
    if (header) *header = *n;
    std::string seen;
    for (int32_t i = 1; i <= *n; ++i) {
      auto rec = (*reader)->Next();
      if (!rec.ok()) return seen + "error:read";
      if (*rec == nullptr) return seen + "|end";
      seen += IsDeletedRecord(*rec) ? '-' : static_cast<char>((*rec)[6]);
    }
    return seen;
  }

  // The same as ReadAll, the records read `per_block` at a time with
  // ReadRecords after `one_by_one` calls of Next.
  std::string ReadInBlocks(size_t per_block, int32_t one_by_one) {
    auto reader = DataFileReader::Open(Env::Default(), Where(), kLength, MessageId::kDataFileOpenFailText);
    if (!reader.ok()) return "error:" + reader.status().caption();
    auto n = (*reader)->ReadHeader();
    if (!n.ok()) return "error:read";
    std::string seen;
    int32_t i = 1;
    for (; i <= *n && i <= one_by_one; ++i) {
      auto rec = (*reader)->Next();
      if (!rec.ok()) return seen + "error:read";
      if (*rec == nullptr) return seen + "|end";
      seen += IsDeletedRecord(*rec) ? '-' : static_cast<char>((*rec)[6]);
    }
    std::vector<uint8_t> block(per_block * kLength);
    while (i <= *n) {
      const size_t wanted = std::min(per_block, static_cast<size_t>(*n - i) + 1);
      auto got = (*reader)->ReadRecords(block.data(), wanted);
      if (!got.ok()) return seen + "error:read";
      for (size_t k = 0; k < *got; ++k, ++i) {
        const uint8_t* rec = block.data() + k * kLength;
        seen += IsDeletedRecord(rec) ? '-' : static_cast<char>(rec[6]);
      }
      if (*got < wanted) return seen + "|end";
    }
    return seen;
  }

  test::TempDir dir_;
};

TEST_F(ReaderTest, DeletedRecordsAndHeaderCounts) {
  struct Case {
    int32_t header;
    std::vector<std::string> records;
    std::string expected;
  } cases[] = {
      {3, {Rec('a'), Deleted(), Rec('c')}, "a-c"},
      {3, {Deleted(), Rec('b'), Rec('c')}, "-bc"},
      {3, {Rec('a'), Rec('b'), Deleted()}, "ab-"},
      {2, {Deleted(), Deleted()}, "--"},
      {0, {Rec('a')}, ""},
      {-4, {Rec('a')}, ""},
      {1, {Rec('a'), Rec('b')}, "a"},  // the count is trusted: 'b' is not read
      // Five 0xFF bytes and another byte: not deleted.
      {1, {std::string(5, '\xFF') + std::string(kLength - 5, 'e')}, "e"},
  };
  for (const auto& c : cases) {
    WriteData(BuildDataFile(c.header, kLength, c.records));
    int32_t header = 0;
    EXPECT_EQ(ReadAll(&header), c.expected) << c.header;
    EXPECT_EQ(header, c.header);
  }
}

TEST_F(ReaderTest, TruncatedFilesStopAtTheRealEnd) {
  std::string full = BuildDataFile(5, kLength, {Rec('a'), Rec('b'), Rec('c')});
  struct Case {
    size_t size;
    std::string expected;
  } cases[] = {
      {full.size(), "abc|end"},
      {full.size() - 1, "ab|end"},  // partial third record
      {kLength + 3, "|end"},
      {kLength, "|end"},
      {10, "|end"},  // not even a header
      {0, "|end"},
  };
  for (const auto& c : cases) {
    WriteData(full.substr(0, c.size));
    int32_t header = -1;
    std::string got = ReadAll(&header);
    if (c.size < 12) {
      EXPECT_EQ(header, 0) << c.size;
      EXPECT_EQ(got, "") << c.size;
    } else {
      EXPECT_EQ(got, c.expected) << c.size;
    }
  }
}

TEST_F(ReaderTest, ManyRecordsAcrossBlocks) {
  // Records that do not divide the block size evenly.
  constexpr int32_t kOdd = 37;
  std::vector<std::string> records;
  for (int i = 0; i < 70000; ++i) {
    std::string r(kOdd, static_cast<char>('A' + i % 26));
    if (i % 1000 == 999) r.replace(0, 6, std::string(6, '\xFF'));
    records.push_back(r);
  }
  test::WriteFile(dir_ / "data/QZGL01FR.dat", BuildRegister("Co", {{1, kOdd, 0}}));
  test::WriteFile(dir_ / "data/QZGL0101.dat", BuildDataFile(70000, kOdd, records));
  auto reader = DataFileReader::Open(Env::Default(), Where(), kOdd, MessageId::kDataFileOpenFailText);
  ASSERT_TRUE(reader.ok());
  ASSERT_EQ(*(*reader)->ReadHeader(), 70000);
  for (int i = 0; i < 70000; ++i) {
    auto rec = (*reader)->Next();
    ASSERT_TRUE(rec.ok());
    ASSERT_NE(*rec, nullptr) << i;
    ASSERT_EQ(IsDeletedRecord(*rec), i % 1000 == 999) << i;
    ASSERT_EQ((*rec)[kOdd - 1], static_cast<uint8_t>('A' + i % 26)) << i;
  }
  EXPECT_EQ(*(*reader)->Next(), nullptr);
}

TEST_F(ReaderTest, OpenRefusals) {
  WriteData(BuildDataFile(1, kLength, {Rec('a')}));
  struct Case {
    int32_t length;
    std::string expected;
  } cases[] = {{11, "error:Error"}, {0, "error:Error"}, {-20, "error:Error"}};
  for (const auto& c : cases) EXPECT_EQ(ReadAll(nullptr, c.length), c.expected) << c.length;
  std::filesystem::remove(dir_ / "data/QZGL0101.dat");
  EXPECT_EQ(ReadAll(), "error:Error #6");
  std::filesystem::remove(dir_ / "data/QZGL01FR.dat");  // missing register
  EXPECT_EQ(ReadAll(), "error:Error #6");
}

// Reading a block at a time gives what reading one record at a time gives,
// whatever the block size, after any number of single records, for whole,
// cut and over-counted files.
TEST_F(ReaderTest, BlocksReadTheSameRecordsAsOneByOne) {
  const std::string full =
      BuildDataFile(5, kLength, {Rec('a'), Deleted(), Rec('c'), Rec('d'), Rec('e')});
  const std::string files[] = {full, full.substr(0, full.size() - 1),
                               full.substr(0, full.size() - kLength),
                               full.substr(0, 2 * kLength + 5), full.substr(0, kLength),
                               BuildDataFile(9, kLength, {Rec('a'), Rec('b')}),
                               BuildDataFile(2, kLength, {Rec('a'), Rec('b'), Rec('c')})};
  for (const std::string& file : files) {
    WriteData(file);
    const std::string expected = ReadAll();
    for (size_t per_block : {1, 2, 3, 5, 64}) {
      for (int32_t one_by_one : {0, 1, 2}) {
        EXPECT_EQ(ReadInBlocks(per_block, one_by_one), expected)
            << file.size() << " bytes, blocks of " << per_block << " after " << one_by_one;
      }
    }
  }
}

}  // namespace
}  // namespace rh
