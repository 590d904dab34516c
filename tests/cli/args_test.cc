#include "cli/args.h"

#include <gtest/gtest.h>

namespace rh::cli {
namespace {

const std::vector<OptionSpec> kOptions = {{"module", true}, {"field", true}, {"quiet", false}};

TEST(Args, ParsesOptionsFlagsAndPositionals) {
  auto a = Args::Parse({"x", "--module", "QZGL", "--field=A=B", "--field", "C", "--quiet",
                        "--", "--not-an-option"},
                       kOptions);
  ASSERT_TRUE(a.ok()) << a.status().ToString();
  EXPECT_EQ(a->Value("module"), "QZGL");
  EXPECT_EQ(a->Values("field"), (std::vector<std::string>{"A=B", "C"}));
  EXPECT_TRUE(a->Has("quiet"));
  EXPECT_FALSE(a->help());
  EXPECT_EQ(a->positionals(), (std::vector<std::string>{"x", "--not-an-option"}));
}

TEST(Args, UsageErrors) {
  const std::vector<std::vector<std::string>> bad = {
      {"--nope"}, {"--module"}, {"--quiet=1"}, {"-x"}};
  for (const auto& argv : bad) {
    auto a = Args::Parse(argv, kOptions);
    EXPECT_FALSE(a.ok()) << argv[0];
  }
  EXPECT_TRUE(Args::Parse({"-h"}, kOptions)->help());
  EXPECT_EQ(Args::Parse({"-"}, kOptions)->positionals().size(), 1u);
}

}  // namespace
}  // namespace rh::cli
