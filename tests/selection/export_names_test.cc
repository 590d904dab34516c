#include <gtest/gtest.h>

#include <random>
#include <set>

#include "selection/field_selection.h"

namespace rh {
namespace {

TEST(MakeNameUnique, TheLastCharactersBecomeACounter) {
  struct Case {
    const char* name;
    int width;
    const char* unique;
  } cases[] = {
      {"SALARY", 49, "SALAR1"}, {"SALAR1", 49, "SALAR2"}, {"NAME9", 49, "NAM10"},
      {"X99", 49, "100"},       {"A", 49, "1"},           {"", 49, "1"},
      {"999999999", 9, "1"},    {"CUSTOMER_", 9, "CUSTOMER1"}, {"CUSTOMER1", 9, "CUSTOMER2"},
      {"Salary", 49, "Salar1"}, {"Total", 49, "Tota1"},   {"AB  ", 49, "A1"},
      {"A9 ", 9, "10"},         {"TOTAL", 9, "TOTA1"},    {"Z99999999", 9, "100000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(MakeNameUnique(c.name, c.width), c.unique) << c.name;
}

std::vector<SelectedField> Rows(std::vector<std::string> names) {
  std::vector<SelectedField> rows;
  for (auto& n : names) rows.push_back({n, 0, n});
  return rows;
}

std::vector<std::string> Names(const std::vector<SelectedField>& rows) {
  std::vector<std::string> names;
  for (const auto& r : rows) names.push_back(r.export_name);
  return names;
}

TEST(NormaliseExportNames, CutCleanAndDeduplicate) {
  struct Case {
    std::vector<std::string> in;
    int width;
    std::vector<std::string> out;
  } cases[] = {
      {{"Customer Name", "Customer Number", "Customer Type"}, 9,
       {"CUSTOMER_", "CUSTOMER1", "CUSTOMER2"}},
      {{" net pay"}, 9, {"_NET_PAY"}},
      {{"a@b#c$d*e"}, 9, {"A_B_C_D_E"}},
      {{"(x)/'y'"}, 9, {"_X___Y_"}},
      {{"Total", "TOTAL"}, 49, {"Total", "TOTAL"}},
      {{"Total", "TOTAL"}, 9, {"TOTAL", "TOTA1"}},
      {{"Salary", "Salary", "Salary"}, 49, {"Salary", "Salar1", "Salar2"}},
      {{"  padded\t", "\x01x\x1f"}, 49, {"padded", "x"}},
      {{"caf\xe9", "\xe9t\xe9"}, 49, {"caf\xe9", "\xe9t\xe9"}},  // high bytes are letters
      {{"caf\xe9"}, 9, {"CAF\xe9"}},                                // only ASCII upper-cased
      {{std::string(60, 'n')}, 49, {std::string(49, 'n')}},
      {{"   ", ""}, 49, {"", "1"}},
      {{"999999999", "999999999"}, 9, {"999999999", "1"}},
  };
  for (const auto& c : cases) {
    auto rows = Rows(c.in);
    NormaliseExportNames(&rows, ExportNameRules{c.width, c.width == 9});
    EXPECT_EQ(Names(rows), c.out) << c.in[0];
  }
}

// The rule as stated: restart from the top after every change.
void ReferenceDeduplicate(std::vector<SelectedField>* rows, int width) {
  size_t k = 0;
  while (k + 1 < rows->size()) {
    size_t m = k + 1;
    while (m < rows->size() && (*rows)[m].export_name != (*rows)[k].export_name) ++m;
    if (m < rows->size()) {
      (*rows)[m].export_name = MakeNameUnique((*rows)[m].export_name, width);
      k = 0;
    } else {
      ++k;
    }
  }
}

TEST(NormaliseExportNames, MatchesTheRestartingRuleOnRandomSelections) {
  std::mt19937 rng(7);
  const char* pool[] = {"A", "A1", "A2", "B", "1", "2", "10", "AB", "A9", "B1"};
  for (int trial = 0; trial < 3000; ++trial) {
    std::vector<std::string> names;
    size_t n = rng() % 25;
    for (size_t i = 0; i < n; ++i) names.push_back(pool[rng() % 10]);
    int width = trial % 2 ? 9 : 49;
    // The pool's names are already clean, so only de-duplication differs.
    auto clean = Rows(names);
    ReferenceDeduplicate(&clean, width);
    auto again = Rows(names);
    NormaliseExportNames(&again, ExportNameRules{width, width == 9});
    ASSERT_EQ(Names(again), Names(clean)) << trial;
  }
}

TEST(NormaliseExportNames, ThreeHundredEqualNamesFinish) {
  auto rows = Rows(std::vector<std::string>(300, "Filler"));
  NormaliseExportNames(&rows, ExportNameRules{});
  std::set<std::string> unique;
  for (const auto& r : rows) unique.insert(r.export_name);
  EXPECT_EQ(unique.size(), 300u);
  EXPECT_EQ(rows[1].export_name, "Fille1");
  EXPECT_EQ(rows[299].export_name, "Fil299");
}

}  // namespace
}  // namespace rh
