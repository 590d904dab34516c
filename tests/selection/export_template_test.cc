#include "selection/export_template.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/bytes.h"
#include "tests/fault_env.h"
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
  // Save keeps what follows the record in a longer file; Save As drops it.
  test::WriteFile(dir / "long.xdf", std::string(20000, 'z'));
  ASSERT_TRUE(WriteTemplateFile(Env::Default(), dir / "long.xdf", Sample(), true).ok());
  EXPECT_EQ(test::ReadFile(dir / "long.xdf").size(), 20000u);
  ASSERT_TRUE(WriteTemplateFile(Env::Default(), dir / "long.xdf", Sample(), false).ok());
  EXPECT_EQ(test::ReadFile(dir / "long.xdf").size(), 16348u);
  if (::geteuid() != 0) {
    ::chmod(dir.path().c_str(), 0555);
    Status denied = WriteTemplateFile(Env::Default(), dir / "new.xdf", Sample(), false);
    EXPECT_EQ(denied.message(), "Access to " + dir / "new.xdf" + " was denied.");
    ::chmod(dir.path().c_str(), 0755);
  }
}

std::string RecordText() {
  TemplateBytes b = EncodeTemplate(Sample());
  return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

// Save and Save As keep the permissions, owner, symbolic links and hard
// links of the template they write over; Save keeps what follows the record.
TEST(TemplateSave, KeepsWhatTheUserSetUp) {
  enum class Link { kNone, kRelative, kChain, kAbsolute, kHard };
  struct Case {
    Link link;
    mode_t mode;
    bool save;  // Save; otherwise Save As
  } cases[] = {
      {Link::kNone, 0600, true},     {Link::kNone, 0640, false},   {Link::kRelative, 0600, true},
      {Link::kRelative, 0644, false}, {Link::kChain, 0600, true},  {Link::kAbsolute, 0660, false},
      {Link::kHard, 0600, true},     {Link::kHard, 0644, false},
  };
  namespace fs = std::filesystem;
  const std::string tail(3652, 'z');
  const bool root = ::geteuid() == 0;  // only root may give a file away
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.link) << " " << c.save);
    test::TempDir dir;
    const std::string real = dir / "sub/real.xdf";
    test::WriteFile(real, std::string(16348, 'o') + tail);
    ASSERT_EQ(::chmod(real.c_str(), c.mode), 0);
    ASSERT_TRUE(!root || ::chown(real.c_str(), 1234, 5678) == 0);
    std::string path = dir / "t.xdf", other;
    switch (c.link) {
      case Link::kNone: path = real; break;
      case Link::kRelative: fs::create_symlink("sub/real.xdf", path); break;
      case Link::kChain:
        fs::create_symlink("real.xdf", other = dir / "sub/b.xdf");
        fs::create_symlink("sub/b.xdf", path);
        break;
      case Link::kAbsolute: fs::create_symlink(real, path); break;
      case Link::kHard: fs::create_hard_link(real, path); break;
    }
    ASSERT_TRUE(WriteTemplateFile(Env::Default(), path, Sample(), c.save).ok());

    EXPECT_EQ(test::ReadFile(real), RecordText() + (c.save ? tail : ""));
    EXPECT_EQ(fs::is_symlink(path), c.link != Link::kNone && c.link != Link::kHard);
    EXPECT_TRUE(c.link != Link::kChain || fs::is_symlink(other));
    EXPECT_TRUE(c.link != Link::kHard || fs::equivalent(path, real));
    struct stat st;
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.mode);
    EXPECT_TRUE(!root || (st.st_uid == 1234 && st.st_gid == 5678));
    EXPECT_EQ(test::CountEntries(dir / "sub"), c.link == Link::kChain ? 2u : 1u);  // no temp file
  }
}

// A save that fails at any step gives the file-error text and leaves the
// template as it was (in place, the write may have happened); an owner the
// process may not set is no failure.
TEST(TemplateSave, FaultsLeaveTheTemplate) {
  struct Case {
    test::Op op;
    int err;
    bool save, hard_link, fails;
  } cases[] = {
      {test::Op::kChangeOwner, EPERM, true, false, false},
      {test::Op::kChangeMode, EIO, false, false, true},
      {test::Op::kSync, ENOSPC, true, false, true},
      {test::Op::kRead, EIO, true, false, true},  // the bytes after the record
      {test::Op::kReadLink, EACCES, false, false, true},
      {test::Op::kRename, EACCES, false, false, true},
      {test::Op::kSync, EIO, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.op) << " " << c.err);
    test::TempDir dir;
    const std::string path = dir / "t.xdf", old = std::string(20000, 'o');
    test::WriteFile(path, old);
    ::chmod(path.c_str(), 0600);
    if (c.hard_link) std::filesystem::create_hard_link(path, dir / "u.xdf");
    test::FaultEnv env;
    env.FailAt(c.op, 1, "", c.err);
    Status s = WriteTemplateFile(&env, path, Sample(), c.save);
    EXPECT_TRUE(env.Struck(c.op));
    EXPECT_EQ(s.message(), c.fails ? FileErrorText(c.err, path) : "");
    if (!c.hard_link) {
      EXPECT_EQ(test::ReadFile(path), c.fails ? old : RecordText() + old.substr(16348));
    }
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(test::CountEntries(dir.path()), c.hard_link ? 2u : 1u);
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
