#include "data/catalog.h"

#include <gtest/gtest.h>

#include <set>

namespace rh {
namespace {

TEST(Catalog, HoldsSeventeenModulesAndOneHundredSixFiles) {
  ASSERT_EQ(Modules().size(), 17u);
  EXPECT_EQ(AllDataFiles().size(), 106u);
  size_t total = 0;
  for (const ModuleInfo& m : Modules()) {
    EXPECT_EQ(m.code.size(), 4u);
    EXPECT_EQ(m.code.substr(0, 2), "QZ");
    auto files = DataFilesOf(m.index);
    EXPECT_FALSE(files.empty()) << m.name;
    std::set<std::string_view> descriptions;
    int last = 0;
    for (const DataFileInfo& f : files) {
      EXPECT_GT(f.number, last) << "ascending numbers in " << m.name;
      last = f.number;
      EXPECT_LE(f.description.size(), 51u);
      EXPECT_TRUE(descriptions.insert(f.description).second) << f.description;
    }
    total += files.size();
  }
  EXPECT_EQ(total, 106u);
}

TEST(Catalog, DescriptionsResolveWithinTheChosenModuleOnly) {
  struct Case {
    std::string_view code;
    std::string_view description;
    int number;
  } cases[] = {
      {"QZGL", "Employee Master", 7},  {"QZPR", "Employee Master", 1},
      {"QZJC", "Employee Master", 11}, {"QZAP", "Invoice Master", 3},
      {"QZPS", "Invoice Master", 1},   {"QZBL", "Invoice Master", 1},
      {"QZAR", "Contract Prices", 29}, {"QZPR", "WCC/Union Master", 9},
      {"QZAR", "Ship-to Master", 15},  {"qzfa", "Asset Master", 1},
  };
  for (const auto& c : cases) {
    auto module = ModuleIndexByCode(c.code);
    ASSERT_TRUE(module) << c.code;
    EXPECT_EQ(FileNumberByDescription(*module, c.description), c.number) << c.code;
  }
  EXPECT_FALSE(FileNumberByDescription(0, "employee master"));  // exact case
  EXPECT_FALSE(ModuleIndexByCode("QZXX"));
}

TEST(Catalog, ModulesWithFewOrGappedFiles) {
  auto fa = DataFilesOf(*ModuleIndexByCode("QZFA"));
  ASSERT_EQ(fa.size(), 1u);
  EXPECT_EQ(fa[0].description, "Asset Master");
  auto qo = DataFilesOf(*ModuleIndexByCode("QZQO"));
  ASSERT_EQ(qo.size(), 1u);
  EXPECT_EQ(qo[0].description, "Store Master");
  auto ar = DataFilesOf(3);
  ASSERT_EQ(ar.size(), 16u);
  EXPECT_EQ(ar[13].number, 18);
  EXPECT_EQ(ar[14].number, 21);
  EXPECT_EQ(ar[15].number, 29);
  EXPECT_EQ(Modules()[12].name, "Quick Sale - Store");
  EXPECT_TRUE(DataFilesOf(17).empty());
  EXPECT_TRUE(DataFilesOf(-1).empty());
}

}  // namespace
}  // namespace rh
