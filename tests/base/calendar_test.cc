#include "base/calendar.h"

#include <gtest/gtest.h>

namespace rh {
namespace {

TEST(Calendar, IsoDatesOfRealDaysOnly) {
  constexpr int64_t kRefused = INT64_MIN;
  struct Case {
    const char* text;
    int64_t days;  // from 1899-12-30; kRefused: no date
  } cases[] = {
      {"1899-12-30", 0},      {"1900-03-01", 61},     {"2000-02-29", 36585},
      {"2022-03-05", 44625},  {"9999-12-31", 2958465}, {"0001-01-01", -693593},
      {"1900-02-29", kRefused}, {"2023-02-29", kRefused}, {"2022-04-31", kRefused},
      {"2022-13-01", kRefused}, {"0000-01-01", kRefused}, {"2022-3-05", kRefused},
      {"2022/03/05", kRefused}, {"2022-03-05 ", kRefused}, {"", kRefused},
  };
  for (const auto& c : cases) {
    const auto date = ParseIsoDate(c.text);
    ASSERT_EQ(date.has_value(), c.days != kRefused) << c.text;
    if (!date) continue;
    EXPECT_EQ(DaysFrom1899(*date), c.days) << c.text;
    EXPECT_EQ(IsoDate(DateFrom1899(c.days)), c.text);
  }
  EXPECT_EQ(UsDate({2022, 3, 5}), "03/05/2022");
}

}  // namespace
}  // namespace rh
