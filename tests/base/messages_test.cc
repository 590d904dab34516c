#include "base/messages.h"

#include <gtest/gtest.h>

#include <set>

#include "base/status.h"

namespace rh {
namespace {

TEST(Messages, OneRowPerIdInIdOrderAndNoTextTwice) {
  const auto all = AllMessages();
  ASSERT_EQ(all.size(), static_cast<size_t>(MessageId::kCount));
  std::set<std::pair<std::string_view, std::string_view>> seen;
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(static_cast<size_t>(all[i].id), i) << all[i].text;
    if (i == 0) continue;
    EXPECT_FALSE(all[i].text.empty()) << i;
    EXPECT_TRUE(seen.insert({all[i].caption, all[i].text}).second) << all[i].text;
    // Only the numbered errors that end the program say so.
    if (all[i].ends_program) {
      EXPECT_TRUE(all[i].caption.starts_with("Error #")) << all[i].text;
    }
  }
}

TEST(Messages, PlaceholdersAreFilledInOrder) {
  struct Case {
    MessageId id;
    std::initializer_list<std::string_view> args;
    const char* text;
  } cases[] = {
      {MessageId::kExportComplete, {"42"}, "Export Complete.\n\nRecords Exported:  42"},
      {MessageId::kDataFileEndedEarly, {"3", "9"},
       "The data file ended after 3 of the 9 records its header announces."},
      {MessageId::kDBaseTextCutOne, {"NOTES", "254"},
       "1 value of the field NOTES was longer than the 254 bytes a dBase field holds and was "
       "cut to 254."},
      // A missing argument leaves its placeholder; "%" alone stays.
      {MessageId::kAlreadyExported, {}, "Warning, %1 already exported\n\tExport Again?"},
      {MessageId::kUsage, {"100% sure"}, "100% sure"},
  };
  for (const Case& c : cases) EXPECT_EQ(MessageText(c.id, c.args), c.text);
}

TEST(Status, CarriesItsCodeApartFromItsText) {
  const Status catalog = Status::Of(MessageId::kFileOpenFail)
                             .WithDetail(MessageId::kDetailIsAFolder, {"/x/out.dbf"});
  EXPECT_TRUE(catalog.Is(MessageId::kFileOpenFail));
  EXPECT_EQ(catalog.caption(), "Error #8");
  EXPECT_EQ(catalog.ToString(), "Error #8: File could not be opened\n/x/out.dbf is a folder.");
  EXPECT_FALSE(catalog.fatal());
  EXPECT_TRUE(Status::Of(MessageId::kInsertFailAccess).fatal());

  const Status driver = Status::Sql("22001", "too long");
  EXPECT_FALSE(driver.ok());
  EXPECT_EQ(driver.sqlstate(), "22001");
  EXPECT_EQ(driver.caption(), "");
  EXPECT_EQ(driver.ToString(), "22001: too long");

  const Status system = Status::Io(2, "No such file or directory");
  EXPECT_EQ(system.sys_error(), 2);
  EXPECT_EQ(system.ToString(), "No such file or directory");
  EXPECT_FALSE(Status().Is(MessageId::kNone));
}

}  // namespace
}  // namespace rh
