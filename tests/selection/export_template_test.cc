#include "selection/export_template.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/bytes.h"
#include "tests/test_util.h"

namespace rh {
namespace {

TemplateRecord Sample() {
  TemplateRecord r;
  r.module_index = 3;
  r.file_number = 29;
  r.company = "0A";
  r.export_type = 9;
  r.destination = "/home/u/out.dbf";
  r.positions = {4, 0, 4};
  r.names = {"CUSTOMER_", "NAME", "CUSTOMER1"};
  return r;
}

TEST(TemplateRecord, ByteLayout) {
  TemplateBytes b = EncodeTemplate(Sample());
  const uint8_t* p = b.data();
  EXPECT_EQ(LoadLittleI32(p), 3);
  EXPECT_EQ(LoadLittleI32(p + 4), 29);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 8), 4), std::string("0A\0\0", 4));
  EXPECT_EQ(LoadLittleI32(p + 12), 9);
  EXPECT_EQ(FixedText(p + 16, 76, 76), "/home/u/out.dbf");
  EXPECT_EQ(LoadLittleI32(p + 92), 4);
  EXPECT_EQ(LoadLittleI32(p + 92 + 8), 4);
  EXPECT_EQ(LoadLittleI32(p + 92 + 12), -1);
  EXPECT_EQ(LoadLittleI32(p + 92 + 4 * 300), -1);
  EXPECT_EQ(FixedText(p + 1296 + 50, 50, 50), "NAME");
  EXPECT_EQ(FixedText(p + 1296 + 150, 50, 50), "_");   // slot after the rows
  EXPECT_EQ(FixedText(p + 1296 + 15000, 50, 50), "_");
  EXPECT_EQ(p[16346], 0);
  EXPECT_EQ(b.size(), 16348u);
}

TEST(TemplateRecord, RoundTripsAndReadsOnlyToTheFirstEndMark) {
  TemplateRecord r = DecodeTemplate(EncodeTemplate(Sample()));
  EXPECT_EQ(r.module_index, 3);
  EXPECT_EQ(r.company, "0A");
  EXPECT_EQ(r.destination, "/home/u/out.dbf");
  EXPECT_EQ(r.positions, (std::vector<int32_t>{4, 0, 4}));
  EXPECT_EQ(r.names, (std::vector<std::string>{"CUSTOMER_", "NAME", "CUSTOMER1"}));

  // A hand-built record: stale slots after the first -1 are not read, and a
  // name with no NUL in its slot stops at 49 characters.
  TemplateBytes b{};
  StoreLittleU32(b.data() + 92, 7);
  std::memset(b.data() + 1296, 'n', 50);
  StoreLittleU32(b.data() + 96, static_cast<uint32_t>(-1));
  StoreLittleU32(b.data() + 100, 5);
  TemplateRecord hand = DecodeTemplate(b);
  EXPECT_EQ(hand.positions, std::vector<int32_t>{7});
  EXPECT_EQ(hand.names[0], std::string(49, 'n'));
}

TEST(TemplateRecord, FullSelectionAndLongTexts) {
  TemplateRecord r;
  for (int i = 0; i < 300; ++i) {
    r.positions.push_back(i);
    r.names.push_back(std::string(60, 'a'));
  }
  r.destination = std::string(80, 'd');
  TemplateBytes b = EncodeTemplate(r);
  EXPECT_EQ(LoadLittleI32(b.data() + 92 + 4 * 300), -1);
  TemplateRecord back = DecodeTemplate(b);
  EXPECT_EQ(back.positions.size(), 300u);
  EXPECT_EQ(back.names[299], std::string(49, 'a'));
  EXPECT_EQ(back.destination, std::string(74, 'd'));
}

TEST(TemplateFile, WriteReadAndRefusals) {
  test::TempDir dir;
  const std::string path = dir / "t.xdf";
  ASSERT_TRUE(WriteTemplateFile(Env::Default(), path, Sample(), false).ok());
  EXPECT_EQ(test::ReadFile(path).size(), 16348u);
  auto r = ReadTemplateFile(Env::Default(), path);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->names[2], "CUSTOMER1");

  struct Case {
    std::string path;
    std::string content;  // written first unless empty
    std::string text;
  } cases[] = {
      {dir / "missing.xdf", "", dir / "missing.xdf was not found."},
      {dir / "short.xdf", std::string(16347, 'x'),
       "An attempt was made to access " + dir / "short.xdf" + " past its end."},
      {dir / "nodir/x.xdf", "", dir / "nodir/x.xdf was not found."},
  };
  for (const auto& c : cases) {
    if (!c.content.empty()) test::WriteFile(c.path, c.content);
    auto read = ReadTemplateFile(Env::Default(), c.path);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.status().message(), c.text);
    EXPECT_EQ(read.status().caption(), "recordhaul");
  }
  // Saving to a template that is gone fails and creates nothing.
  Status gone = WriteTemplateFile(Env::Default(), dir / "gone.xdf", Sample(), true);
  EXPECT_EQ(gone.message(), dir / "gone.xdf" + " was not found.");
  EXPECT_FALSE(std::filesystem::exists(dir / "gone.xdf"));
  // A longer file is replaced by exactly the record.
  test::WriteFile(dir / "long.xdf", std::string(20000, 'z'));
  ASSERT_TRUE(WriteTemplateFile(Env::Default(), dir / "long.xdf", Sample(), true).ok());
  EXPECT_EQ(test::ReadFile(dir / "long.xdf").size(), 16348u);
  if (::geteuid() != 0) {
    ::chmod(dir.path().c_str(), 0555);
    Status denied = WriteTemplateFile(Env::Default(), dir / "new.xdf", Sample(), false);
    EXPECT_EQ(denied.message(), "Access to " + dir / "new.xdf" + " was denied.");
    ::chmod(dir.path().c_str(), 0755);
  }
}

TEST(FileErrorText, EveryCause) {
  struct Case {
    int err;
    const char* text;
  } cases[] = {
      {ENOENT, "F was not found."},
      {ENOTDIR, "F contains an invalid path."},
      {EMFILE, "F could not be opened because there are too many open files."},
      {EACCES, "Access to F was denied."},
      {EBADF, "An invalid file handle was associated with F."},
      {EMLINK, "F could not be created because the directory is full."},
      {ESPIPE, "Seek failed on F"},
      {EIO, "A hardware I/O error was reported while accessing F."},
      {EBUSY, "A sharing violation occurred while accessing F."},
      {ENOLCK, "A locking violation occurred while accessing F."},
      {ENOSPC, "Disk full while accessing F."},
      {0, "An attempt was made to access F past its end."},
      {EPROTO, "An unknown error occurred while accessing F."},
  };
  for (const auto& c : cases) EXPECT_EQ(FileErrorText(c.err, "F"), c.text) << c.err;
}

}  // namespace
}  // namespace rh
