#include "export/export_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/paths.h"
#include "tests/export/export_test_util.h"
#include "tests/fault_env.h"

namespace rh {
namespace {

using test::ExportHarness;
using test::Installation;

TEST(ProgressPercent, TruncatedDoubleQuotient) {
  struct Case {
    int32_t i, count;
    int percent;
  } cases[] = {{1, 3, 33},   {2, 3, 66},   {3, 3, 100}, {29, 100, 28}, {57, 100, 56},
               {1, 1, 100},  {1, 7, 14},   {1, 1000000, 0}, {2147483647, 2147483647, 100}};
  for (const auto& c : cases) EXPECT_EQ(ProgressPercent(c.i, c.count), c.percent) << c.i;
}

TEST(ResolveDestination, TypedPathsAndTheDocumentsFolder) {
  const std::string home = HomeFolder();
  struct Case {
    std::string text, path;
  } cases[] = {
      {"out.txt", "/docs/out.txt"},     {"d:out.txt", "d:out.txt"},
      {"/out.txt", "/out.txt"},         {"../out.txt", "../out.txt"},
      {"ab/x.txt", "ab/x.txt"},         {"a//b", "a//b"},
      {"~/x.txt", home + "/x.txt"},     {"x y/z", "/docs/x y/z"},
      {std::string(80, 'n'), "/docs/" + std::string(80, 'n')},  // never cut
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveDestination(c.text, "/docs"), c.path) << c.text;
  EXPECT_EQ(ResolveDestination("out.txt", "/docs/"), "/docs/out.txt");
}

class RunTest : public ::testing::Test {
 protected:
  RunTest() {
    auto b = inst_.Builder();
    inst_.SetRecords(3, {b.Text("Name", "one").Take(), b.Deleted(), b.Text("Name", "three").Take()});
  }
  std::string Dest() const { return inst_.dir() / "out.txt"; }
  // Every file of the installation, with its content.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(inst_.dir().path()))
      if (e.is_regular_file()) files[e.path().string()] = test::ReadFile(e.path().string());
    return files;
  }

  Installation inst_;
  ExportHarness h_{inst_};
};

TEST_F(RunTest, ProgressDeletedRecordsAndNumbering) {
  auto r = h_.Run(5, {"Current Record", "Name"}, Dest());
  EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted);
  EXPECT_EQ(r.outcome.exported, 2);
  EXPECT_EQ(r.written, "1\tone\r\n3\tthree\r\n");
  EXPECT_EQ(h_.ui.percents, (std::vector<int>{0, 33, 66, 100}));
  EXPECT_FALSE(h_.ui.progress_open);
  EXPECT_EQ(MessageText(MessageId::kExportComplete, {"2"}), "Export Complete.\n\nRecords Exported:  2");
}

TEST_F(RunTest, AllDeletedStillReachesOneHundred) {
  auto b = inst_.Builder();
  inst_.SetRecords(2, {b.Deleted(), b.Deleted()});
  auto r = h_.Run(1, {"Name"}, Dest());
  EXPECT_EQ(r.outcome.exported, 0);
  EXPECT_EQ(h_.ui.percents, (std::vector<int>{0, 50, 100}));
  EXPECT_EQ(r.written, "\r\n");
}

TEST_F(RunTest, DestinationTextRules) {
  struct Case {
    std::string dest;
    const char* caption;  // nullptr: completed
  } cases[] = {{"a.c", "Error #5"},          {"", "Error #5"},
               {"ab.c", nullptr},            {"\xc3\xa4.c", "Error #5"},  // characters, not bytes
               {"\xe2\x82\xac\xc3\xa4.c", nullptr}, {"\xff\xfe.c", nullptr}};
  for (const auto& c : cases) {
    auto r = h_.Run(1, {"Name"}, c.dest);
    if (c.caption == nullptr) {
      EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << c.dest;
      EXPECT_TRUE(std::filesystem::exists(h_.ui.documents + "/" + c.dest));
      continue;
    }
    EXPECT_EQ(r.outcome.error.caption(), c.caption) << c.dest;
    EXPECT_EQ(r.outcome.error.message(), "Invalid File Name");
    EXPECT_TRUE(r.outcome.focus_destination);
  }
  EXPECT_EQ(h_.Run(12, {"Name"}, Dest()).outcome.kind, ExportOutcome::Kind::kStopped);
  EXPECT_EQ(h_.Run(-1, {"Name"}, Dest()).outcome.kind, ExportOutcome::Kind::kStopped);
}

TEST_F(RunTest, ShortDataFileExportsWhatIsThereAndWarns) {
  auto b = inst_.Builder();
  inst_.SetRecords(5, {b.Text("Name", "a").Take(), b.Text("Name", "b").Take()});
  auto r = h_.Run(1, {"Name"}, Dest());
  EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted);
  EXPECT_EQ(r.outcome.exported, 2);
  ASSERT_EQ(r.outcome.warnings.size(), 1u);
  EXPECT_EQ(r.outcome.warnings[0].caption(), "Warning");
  EXPECT_EQ(r.outcome.warnings[0].message(),
            "The data file ended after 2 of the 5 records its header announces.");
}

TEST_F(RunTest, RecordLengthBelowTwelveIsRefusedBeforeAnythingIsWritten) {
  Installation tiny({{"A", 'T', 5}, {"B", 'L', 4}});
  tiny.SetRecords(1, {std::string(9, 'x')});
  ExportHarness h(tiny);
  test::WriteFile(tiny.dir() / "keep.txt", "keep");
  auto r = h.Run(1, {"A"}, tiny.dir() / "keep.txt");
  EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kFailed);
  EXPECT_NE(r.outcome.error.message().find("record length of 9 bytes"), std::string::npos);
  EXPECT_EQ(r.written, "keep");
  EXPECT_TRUE(h.ui.messages.empty());  // not even the existing-file question
}

TEST_F(RunTest, FailuresLeaveAnExistingDestinationAsItWas) {
  struct Case {
    const char* name;
    std::function<void(test::FaultEnv&)> setup;
    Answer answer;  // to the existing-destination question
    const char* caption;
    const char* message;
  } cases[] = {
      {"data file missing", [&](test::FaultEnv& env) { env.FailAt(test::Op::kOpenRead, 1, "QZGL0101", ENOENT); },
       Answer::kNo, "Error #6", "Company Data File Open Fail"},
      {"data file missing, append", [&](test::FaultEnv& env) { env.FailAt(test::Op::kOpenRead, 1, "QZGL0101", ENOENT); },
       Answer::kYes, "Error #6", "Company Data File Open Fail"},
      {"read error", [&](test::FaultEnv& env) { env.FailAt(test::Op::kRead, 2, "QZGL0101"); },
       Answer::kNo, "Error", nullptr},
      {"read error, append", [&](test::FaultEnv& env) { env.FailAt(test::Op::kRead, 2, "QZGL0101"); },
       Answer::kYes, "Error", nullptr},
      {"write error", [&](test::FaultEnv& env) { env.FailAt(test::Op::kWrite, 1, "out.txt", ENOSPC); },
       Answer::kNo, "Error #8", "File could not be written"},
      {"write error, append", [&](test::FaultEnv& env) { env.FailAt(test::Op::kWrite, 2, "out.txt", ENOSPC); },
       Answer::kYes, "Error #8", "File could not be written"},
      {"close error", [&](test::FaultEnv& env) { env.FailAt(test::Op::kClose, 1, ".tmp", EIO); },
       Answer::kNo, "Error #8", "File could not be written"},
      {"close error, append", [&](test::FaultEnv& env) { env.FailAt(test::Op::kClose, 1, "out.txt", EIO); },
       Answer::kYes, "Error #8", "File could not be written"},
      {"rename error", [&](test::FaultEnv& env) { env.FailAt(test::Op::kRename, 1, "out.txt", EIO); },
       Answer::kNo, "Error #8", "File could not be written"},
      {"cannot open", [&](test::FaultEnv& env) { env.FailAt(test::Op::kOpenWrite, 1, "out.txt", EACCES); },
       Answer::kNo, "Error #8", "File could not be opened"},
  };
  for (const auto& c : cases) {
    test::WriteFile(Dest(), "precious\n");
    const auto before = Snapshot();
    test::FaultEnv env;
    c.setup(env);
    h_.ui.answers = {c.answer};
    auto r = h_.Run(1, {"Name"}, Dest(), &env);
    EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kFailed) << c.name;
    EXPECT_EQ(r.outcome.error.caption(), c.caption) << c.name;
    if (c.message) {
      EXPECT_EQ(r.outcome.error.message(), c.message) << c.name;
    }
    EXPECT_EQ(Snapshot(), before) << c.name;  // destination, data and no temporary file
    EXPECT_FALSE(h_.ui.progress_open) << c.name;
  }
}

TEST_F(RunTest, RealFileSystemFaults) {
  // Missing folder.
  auto missing = h_.Run(1, {"Name"}, inst_.dir() / "no/such/folder/out.txt");
  EXPECT_EQ(missing.outcome.error.caption(), "Error #8");
  EXPECT_EQ(missing.outcome.error.message(), "File could not be opened");
  // A full device.
  auto full = h_.Run(1, {"Name"}, "/dev/full");
  EXPECT_EQ(full.outcome.kind, ExportOutcome::Kind::kFailed);
  EXPECT_EQ(full.outcome.error.message(), "File could not be written");
  // A folder where the file should be.
  std::filesystem::create_directory(inst_.dir() / "adir");
  EXPECT_EQ(h_.Run(1, {"Name"}, inst_.dir() / "adir").outcome.error.caption(), "Error #8");
  // A read-only destination (root writes anyway, so only as a user).
  if (::geteuid() != 0) {
    test::WriteFile(Dest(), "read only");
    ::chmod(Dest().c_str(), 0444);
    h_.ui.answers = {Answer::kNo};
    auto ro = h_.Run(1, {"Name"}, Dest());
    EXPECT_EQ(ro.outcome.error.message(), "File could not be opened");
    EXPECT_EQ(test::ReadFile(Dest()), "read only");
  }
}

TEST_F(RunTest, AccountingFilesAreNeverWritten) {
  const auto before = Snapshot();
  for (Answer a : {Answer::kYes, Answer::kNo}) {
    for (const std::string& target :
         {inst_.DataPath(), inst_.system() + "/QZFMDATA.DAT", inst_.data() + "/QZGL01FR.dat"}) {
      h_.ui.answers = {a};
      auto r = h_.Run(1, {"Name"}, target);
      EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kFailed) << target;
      EXPECT_EQ(Snapshot(), before) << target;
    }
  }
}

}  // namespace
}  // namespace rh
