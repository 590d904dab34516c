// Destination names at the file system's limits, for every export type: the
// longest name a folder takes is exported to like any other, one byte more
// is refused cleanly, and names with bytes that are not UTF-8, blanks or
// quotes work. A dBase name without an extension stands for its .dbf file.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "export/export_types.h"
#include "tests/hardening/hardening_util.h"

namespace rh::test {
namespace {

class DestinationNames : public ::testing::TestWithParam<int> {
 protected:
  DestinationNames() : inst_(WideFields()) {
    UseBuildTreeDrivers();
    test::WriteFile(inst_.DataPath(), WideDataFile(60, 60));
  }
  Installation inst_;
};

// A name of `length` bytes ending in the type's extension.
std::string NameOf(int type, size_t length) {
  const std::string ext = DestinationName(type).substr(3);  // ".txt"
  return std::string(length - ext.size(), 'n') + ext;
}

TEST_P(DestinationNames, LongestNameWorksAndOneMoreIsRefused) {
  const int type = GetParam();
  const std::string out = inst_.dir() / "out";
  for (size_t length : {size_t{255}, size_t{256}}) {
    SCOPED_TRACE(length);
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    RunResult r = RunTo(inst_, type, out + "/" + NameOf(type, length), Env::Default(),
                        Answer::kYes);
    if (length == 255) {
      EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.message();
      EXPECT_EQ(FolderEntries(out), std::vector<std::string>{NameOf(type, length)});
    } else {
      EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kFailed);
      EXPECT_TRUE(r.outcome.error.caption().starts_with("Error #"));
      EXPECT_EQ(FolderEntries(out), std::vector<std::string>{});
    }
  }
}

TEST_P(DestinationNames, OddBytesBlanksAndQuotes) {
  const int type = GetParam();
  for (std::string name : {"caf\xe9 \xff\xfe.x", "it's \"quoted\" x", "-leading dash x",
                           " blank around x "}) {
    SCOPED_TRACE(name);
    // The dBase statements name the table bare ("CREATE TABLE %s ("), where
    // a leading blank cannot be told from the one before it.
    if (type == kDBase && name.front() == ' ') continue;
    name += DestinationName(type).substr(3);
    const std::string out = inst_.dir() / "out";
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    RunResult r = RunTo(inst_, type, out + "/" + name, Env::Default(), Answer::kYes);
    EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.message();
    EXPECT_EQ(FolderEntries(out), std::vector<std::string>{name});
  }
}

// The dBase driver writes NAME.dbf for the destination NAME: that file is
// the one asked about, guarded and replaced, and a folder there is refused.
TEST(DBaseDestination, ANameWithoutExtensionMeansItsDbfFile) {
  namespace fs = std::filesystem;
  UseBuildTreeDrivers();
  Installation inst(WideFields());
  test::WriteFile(inst.DataPath(), WideDataFile(60, 60));
  const std::string out = inst.dir() / "out";
  const std::string dbf = out + "/NAME.dbf";
  struct Case {
    const char* name;
    std::function<void()> make;
    Answer answer;  // to the existing-destination question
    bool asked;
    ExportOutcome::Kind kind;
    std::string detail;  // of the failure, under "File could not be opened"
  };
  const Case cases[] = {
      {"NAME.dbf there, not to be replaced", [&] { test::WriteFile(dbf, "old"); }, Answer::kNo,
       true, ExportOutcome::Kind::kStopped, ""},
      {"NAME.dbf there, to be replaced", [&] { test::WriteFile(dbf, "old"); }, Answer::kYes,
       true, ExportOutcome::Kind::kCompleted, ""},
      {"NAME.dbf the data file", [&] { fs::create_symlink(inst.DataPath(), dbf); }, Answer::kYes,
       true, ExportOutcome::Kind::kFailed,
       "the destination is one of the accounting system's own files, which are never "
       "written."},
      {"NAME.dbf a folder", [&] { fs::create_directory(dbf); }, Answer::kYes, false,
       ExportOutcome::Kind::kFailed, dbf + " is a folder."},
      {"NAME a folder", [&] { fs::create_directory(out + "/NAME"); }, Answer::kYes, false,
       ExportOutcome::Kind::kFailed, out + "/NAME is a folder."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(out);
    fs::create_directories(out);
    c.make();
    const auto before = TreeChecksums(out);
    RunResult r = RunTo(inst, kDBase, out + "/NAME", Env::Default(), c.answer);
    EXPECT_EQ(r.outcome.kind, c.kind);
    if (c.kind == ExportOutcome::Kind::kFailed) {
      EXPECT_EQ(r.outcome.error.message(), "File could not be opened");
    }
    EXPECT_EQ(r.outcome.error.detail(), c.detail);
    EXPECT_EQ(!r.messages.empty() && r.messages[0].style == MessageStyle::kYesNoQuestion,
              c.asked);
    if (c.kind == ExportOutcome::Kind::kCompleted) {
      EXPECT_EQ(FolderEntries(out), std::vector<std::string>{"NAME.dbf"});
      EXPECT_EQ(TableRows(kDBase, dbf), 59);
    } else {
      EXPECT_EQ(TreeChecksums(out), before);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryType, DestinationNames, ::testing::Range(0, 12),
                         [](const auto& info) { return "Type" + std::to_string(info.param); });

}  // namespace
}  // namespace rh::test
