#include "app/settings.h"
#include "app/window_commands.h"

#include <gtest/gtest.h>

#include "app/choice_cascade.h"
#include "tests/fake_platform.h"

namespace rh {
namespace {

TEST(Directories, KeysAndWriteOrder) {
  // Records the order of writes.
  struct Recording : MemorySettings {
    std::vector<std::string> keys;
    Status Write(std::string_view section, std::string_view key, std::string_view value) override {
      keys.emplace_back(key);
      return MemorySettings::Write(section, key, value);
    }
  } settings;
  ASSERT_TRUE(WriteDirectories(settings, {"/d", "/s", "/p"}).ok());
  EXPECT_EQ(settings.keys, (std::vector<std::string>{"AFILES", "AUSER", "APROGS"}));
  EXPECT_EQ(settings.Read("dirs", "AUSER"), "/d");
  EXPECT_EQ(settings.Read("dirs", "AFILES"), "/s");
  Directories back = ReadDirectories(settings);
  EXPECT_EQ(back.programs, "/p");
}

TEST(InitialiseWindow, AsksUntilAllThreeAreSet) {
  test::FakePlatform ui;
  ui.directory_answers = {Directories{"/d", "/s", ""}, Directories{"/d", "/s", "/p"}};
  ExportState s;
  ASSERT_TRUE(InitialiseWindow(s, ui));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cannot Continue - Please Set Defaults");
  EXPECT_EQ(ui.messages[0].caption, "Error");
  EXPECT_EQ(ui.settings.Read("dirs", "APROGS"), "/p");
  EXPECT_EQ(s.window_title, "Quillmont Software Tallyvane Data Export - untitled");
  EXPECT_EQ(s.template_path, "/d/untitled.xdf");
  EXPECT_FALSE(s.modified);
}

TEST(InitialiseWindow, CancelEndsTheProgramWithoutWritingSettings) {
  test::FakePlatform ui;
  ui.directory_answers = {std::nullopt};
  ExportState s;
  EXPECT_FALSE(InitialiseWindow(s, ui));
  EXPECT_TRUE(s.window_closed);
  EXPECT_EQ(ui.settings.Read("dirs", "AUSER"), "");
}

TEST(InitialiseWindow, SavedDirectoriesNeedNoDialog) {
  test::FakePlatform ui;
  ASSERT_TRUE(WriteDirectories(ui.settings, {"/d/", "/s", "/p"}).ok());
  ExportState s;
  ASSERT_TRUE(InitialiseWindow(s, ui));
  EXPECT_EQ(s.template_path, "/d//untitled.xdf");  // used as stored
}

TEST(EditDirectories, SaveQuestionFirstThenResetOrKeepEmpty) {
  test::FakePlatform ui;
  ASSERT_TRUE(WriteDirectories(ui.settings, {"/d", "/s", "/p"}).ok());
  ExportState s;
  InitialiseWindow(s, ui);
  s.modified = true;
  ui.answers = {Answer::kNo};
  ui.directory_answers = {std::nullopt};
  EditDirectories(s, ui);
  ASSERT_EQ(ui.messages.size(), 1u);  // the save question, though cancelled after
  EXPECT_EQ(ui.messages[0].caption, "Warning");
  EXPECT_FALSE(s.modified);

  // A new empty directory: the message, then cancel keeps it stored.
  ui.messages.clear();
  ui.directory_answers = {Directories{"/d2", "", "/p"}, std::nullopt};
  EditDirectories(s, ui);
  EXPECT_EQ(ui.messages.back().text, "Cannot Continue - Please Set Defaults");
  EXPECT_EQ(ui.settings.Read("dirs", "AFILES"), "");
  EXPECT_EQ(s.dirs.system, "");

  // A complete change resets to an untitled template in the new folder.
  s.module_list.current = 3;
  ui.directory_answers = {Directories{"/d3", "/s3", "/p3"}};
  EditDirectories(s, ui);
  EXPECT_FALSE(s.module_list.HasCurrent());
  EXPECT_EQ(s.template_path, "/d3/untitled.xdf");
}

TEST(CloseWindowCommand, AsksOnceThenCloses) {
  test::FakePlatform ui;
  ExportState s;
  s.modified = true;
  ui.answers = {Answer::kNo};
  CloseWindowCommand(s, ui);
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(s.window_closed);
}

}  // namespace
}  // namespace rh
