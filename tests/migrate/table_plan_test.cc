#include "migrate/table_plan.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/fixture.h"

namespace rh {
namespace {

TEST(SnakeCase, LettersAndDigitsWithRunsOfAnythingElseAsOneUnderscore) {
  const struct {
    const char* text;  // Windows-1252
    const char* name;
  } cases[] = {
      {"Customer Master", "customer_master"},
      {"Ship-to Master", "ship_to_master"},
      {"WCC/Union Master", "wcc_union_master"},
      {"Debit/Credit", "debit_credit"},
      {"  (Reserved)  ", "reserved"},
      {"A  --  B", "a_b"},
      {"Caf\xe9 M\xfcller", "cafe_muller"},
      {"\x8cuvre Stra\xdf" "e", "oeuvre_strasse"},
      {"Amount \x80 \xd7 2", "amount_2"},  // the euro and times signs are no letters
      {"1099 Amount", "_1099_amount"},
      {"%%%", ""},
      {"YTD2", "ytd2"},
  };
  for (const auto& c : cases) EXPECT_EQ(SnakeCase(c.text), c.name) << c.text;
}

TEST(SnakeCase, KeepsAtMost63Characters) {
  const std::string name = SnakeCase(std::string(60, 'a') + " bcd efg");
  EXPECT_EQ(name, std::string(60, 'a') + "_bc");
  EXPECT_EQ(SnakeCase(std::string(62, 'a') + " b"), std::string(62, 'a'));  // no "_" at the end
}

TEST(TableName, ModuleCodeAndDescription) {
  EXPECT_EQ(TableName("QZAR", "Customer Master"), "qzar_customer_master");
  EXPECT_EQ(TableName("QZPR", "WO/Cost Center Master"), "qzpr_wo_cost_center_master");
}

TEST(TableName, EveryDataFileOfTheCatalogHasATableOfItsOwn) {
  std::set<std::string> names;
  for (const DataFileInfo& f : AllDataFiles()) {
    const std::string name =
        TableName(Modules()[static_cast<size_t>(f.module)].code, f.description);
    EXPECT_TRUE(names.insert(name).second) << name;
  }
}

TEST(MakeUnique, LaterRepeatsGetTheNextFreeNumber) {
  const struct {
    std::vector<std::string> in;
    std::vector<std::string> out;
  } cases[] = {
      {{"a", "b"}, {"a", "b"}},
      {{"a", "a", "a"}, {"a", "a_2", "a_3"}},
      {{"a", "a", "a_2", "b", "a"}, {"a", "a_3", "a_2", "b", "a_4"}},
      {{"company", "record_number", "company"}, {"company", "record_number", "company_2"}},
  };
  for (auto c : cases) {
    MakeUnique(&c.in);
    EXPECT_EQ(c.in, c.out);
  }
}

FieldLayout LayoutOf(const std::vector<sample::FieldSpec>& fields) {
  test::Installation inst(fields);
  auto layout = LoadFieldLayout(Env::Default(), inst.system(), "QZGL", 1);
  EXPECT_TRUE(layout.ok()) << layout.status().ToString();
  return layout.ok() ? std::move(layout).value() : FieldLayout();
}

TEST(PlanTable, FieldsNamedLikeOurColumnsOrPseudoFieldsAreStillTheRecordsFields) {
  const TablePlan plan = PlanTable(
      *FindDataFile(0, 1), "QZGL",
      LayoutOf({{"Company", 'T', 4}, {"Current Record", 'L', 4}, {"Name", 'T', 8},
                {"NAME", 'T', 8}}));
  std::vector<std::string> names;
  for (const ColumnPlan& c : plan.columns) names.push_back(c.name);
  EXPECT_EQ(names, (std::vector<std::string>{"company", "record_number", "company_2",
                                             "current_record", "name", "name_2"}));
  EXPECT_EQ(plan.columns[2].field.source, FieldSource::kT);
  EXPECT_EQ(plan.columns[3].field.source, FieldSource::kL);
  EXPECT_EQ(plan.columns[3].field.offset, 4);
}

}  // namespace
}  // namespace rh
