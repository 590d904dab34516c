// Field names on the command line: exact, then regardless of letter case when
// that names one entry; otherwise a usage error naming the closest entries.
#include "app/field_choices.h"

#include <gtest/gtest.h>

namespace rh {
namespace {

TEST(FindAvailableField, MatchesCaseAndSuggests) {
  // Windows-1252 names, as the available list holds them.
  const std::vector<std::string> available = {
      "Customer Number", "Customer Name", "Balance", "Stra\xdf" "e", "\xc4nderung",
      "Code",            "CODE",          "Balance"};
  const struct Case {
    std::string name;
    int index;               // -1: refused
    MessageId error;
    std::string message;     // the refusal's text
  } cases[] = {
      {"Balance", 2, MessageId::kNone, ""},
      {"customer name", 1, MessageId::kNone, ""},
      {"BALANCE", 2, MessageId::kNone, ""},
      {"\xe4nderung", 4, MessageId::kNone, ""},  // a Latin capital folds too
      {"CODE", 6, MessageId::kNone, ""},         // exact wins over the other case
      {"code", -1, MessageId::kAmbiguousField,
       "the field name 'code' matches 'Code' or 'CODE', which differ only in letter case; give "
       "one as it is written"},
      {"Custmer Name", -1, MessageId::kUnknownFieldSuggest,
       "the data file has no field 'Custmer Name'; did you mean 'Customer Name' or 'Customer "
       "Number'?"},
      {"customer", -1, MessageId::kUnknownFieldSuggest,
       "the data file has no field 'customer'; did you mean 'Customer Number' or 'Customer "
       "Name'?"},
      {"Strase", -1, MessageId::kUnknownFieldSuggest,
       "the data file has no field 'Strase'; did you mean 'Stra\xc3\x9f" "e'?"},
      {"Posting Count", -1, MessageId::kUnknownField,
       "the data file has no field 'Posting Count' (see 'recordhaul list fields')"},
      {"", -1, MessageId::kUnknownField,
       "the data file has no field '' (see 'recordhaul list fields')"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto found = FindAvailableField(available, c.name);
    if (c.index >= 0) {
      ASSERT_TRUE(found.ok()) << found.status().ToString();
      EXPECT_EQ(found.value(), static_cast<size_t>(c.index));
    } else {
      ASSERT_FALSE(found.ok());
      EXPECT_TRUE(found.status().Is(c.error)) << found.status().ToString();
      EXPECT_EQ(found.status().message(), c.message);
    }
  }
}

}  // namespace
}  // namespace rh
