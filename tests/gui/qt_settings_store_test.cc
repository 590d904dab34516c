#include "gui/qt_settings_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "tests/test_util.h"

namespace rh {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(QtSettingsStore, UserFileIsTheIniUnderTheXdgConfigFolder) {
  const std::string config = ::getenv("XDG_CONFIG_HOME");
  QtSettingsStore store;
  EXPECT_EQ(store.FilePath(), config + "/Quillmont Software/recordhaul.ini");

  ASSERT_TRUE(store.Write("dirs", "AFILES", "/acct/sys").ok());
  ASSERT_TRUE(store.Write("dirs", "AUSER", "/acct/data").ok());
  ASSERT_TRUE(store.Write("dirs", "APROGS", "/acct/progs").ok());
  const std::string text = ReadFile(store.FilePath());
  EXPECT_NE(text.find("[dirs]\n"), std::string::npos) << text;
  EXPECT_NE(text.find("AUSER=/acct/data\n"), std::string::npos) << text;
  EXPECT_NE(text.find("AFILES=/acct/sys\n"), std::string::npos) << text;
  EXPECT_NE(text.find("APROGS=/acct/progs\n"), std::string::npos) << text;

  QtSettingsStore again;
  EXPECT_EQ(again.Read("dirs", "AUSER"), "/acct/data");
}

TEST(QtSettingsStore, MissingValuesReadEmpty) {
  TempDir dir;
  QtSettingsStore store(dir / "none.ini");
  EXPECT_EQ(store.Read("dirs", "AUSER"), "");
  ASSERT_TRUE(store.Write("dirs", "AUSER", "/x").ok());
  EXPECT_EQ(store.Read("dirs", "APROGS"), "");
  EXPECT_EQ(store.Read("other", "AUSER"), "");
}

TEST(QtSettingsStore, ValuesRoundTripExactly) {
  const std::string long_path = "/" + std::string(300, 'd') + "/tally";
  const struct {
    const char* what;
    std::string value;
  } cases[] = {
      {"plain", "/home/ann/Tallyvane/DATA"},
      {"empty", ""},
      {"backslashes, trailing separator", "C:\\TALLY\\DATA\\"},
      {"blanks at both ends", "  /srv/acct  "},
      {"comma", "/srv/acct, old"},
      {"semicolon, equals, hash", "/srv/a;b=c#d"},
      {"quotes", "/srv/\"q\"/'s'"},
      {"brackets", "[dirs]/x"},
      {"non-ASCII", "/home/zoë/Données/año"},
      {"longer than 49 characters", long_path},
  };
  TempDir dir;
  const std::string ini = dir / "settings.ini";
  for (const auto& c : cases) {
    {
      QtSettingsStore store(ini);
      ASSERT_TRUE(store.Write("dirs", "AUSER", c.value).ok()) << c.what;
      EXPECT_EQ(store.Read("dirs", "AUSER"), c.value) << c.what;
    }
    QtSettingsStore reopened(ini);
    EXPECT_EQ(reopened.Read("dirs", "AUSER"), c.value) << c.what;
  }
}

TEST(QtSettingsStore, ReadsWhatAnotherWriterSaved) {
  TempDir dir;
  const std::string ini = dir / "shared.ini";
  QtSettingsStore window(ini);
  ASSERT_TRUE(window.Write("dirs", "AUSER", "/old").ok());
  {
    QtSettingsStore command_line(ini);
    ASSERT_TRUE(command_line.Write("dirs", "AUSER", "/new").ok());
  }
  EXPECT_EQ(window.Read("dirs", "AUSER"), "/new");
}

TEST(QtSettingsStore, ReadsAHandWrittenFile) {
  TempDir dir;
  const std::string ini = dir / "hand.ini";
  WriteFile(ini, "[dirs]\nAUSER=/acct/data\nAFILES=\"/acct/sys, copy\"\nAPROGS=/a,/b\n");
  QtSettingsStore store(ini);
  EXPECT_EQ(store.Read("dirs", "AUSER"), "/acct/data");
  EXPECT_EQ(store.Read("dirs", "AFILES"), "/acct/sys, copy");
  EXPECT_EQ(store.Read("dirs", "APROGS"), "/a, /b");  // unquoted commas make a list
}

TEST(QtSettingsStore, WriteReportsAFileThatCannotBeSaved) {
  TempDir dir;
  WriteFile(dir / "plain-file", "x");
  QtSettingsStore store(dir / "plain-file/recordhaul.ini");  // its folder is a file
  Status s = store.Write("dirs", "AUSER", "/acct/data");
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.caption(), "Error");
  EXPECT_NE(s.message().find(dir / "plain-file/recordhaul.ini"), std::string::npos) << s.message();
}

}  // namespace
}  // namespace rh
