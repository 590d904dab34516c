// What every verb shares: parsing, --help, --version, "help VERB" and the
// one-line usage errors.
#include <gtest/gtest.h>

#include "tests/cli/cli_test_util.h"

namespace rh {
namespace {

TEST(CommandLine, UsageErrorsAreOneLineAndAPointer) {
  struct Case {
    std::vector<std::string> args;
    std::string first_line;
  } cases[] = {
      {{"bogus"}, "recordhaul: unknown verb 'bogus'"},
      {{"--bogus"}, "recordhaul: unknown option '--bogus'"},
      {{"export", "--nope"}, "recordhaul export: unknown option --nope"},
      {{"export", "-x"}, "recordhaul export: unknown option -x"},
      {{"export", "--module"}, "recordhaul export: --module: 1 required CODE missing"},
      {{"export", "--overwrite", "--append"}, "recordhaul export: --overwrite excludes --append"},
      {{"export", "--quiet=maybe"}, "recordhaul export: Could not convert: --quiet = maybe"},
      {{"run"}, "recordhaul run: TEMPLATE is required"},
      {{"run", "a.xdf", "b.xdf"}, "recordhaul run: unexpected argument 'b.xdf'"},
      {{"sample", "/tmp/x", "--records", "-1"}, "recordhaul sample: --records: Value -1 not in range 0 to 100000000"},
      {{"list", "fields", "QZGL"}, "recordhaul list: wrong number of arguments for 'list fields'"},
  };
  for (const auto& c : cases) {
    auto r = test::RunCli(c.args);
    EXPECT_EQ(r.code, 2) << c.first_line;
    const std::string verb = c.first_line.substr(0, c.first_line.find(':'));
    EXPECT_EQ(r.err, c.first_line + "\nTry '" + verb + " --help'.\n");
    EXPECT_EQ(r.out, "");
  }
}

TEST(CommandLine, HelpAndVersion) {
  auto overview = test::RunCli({"--help"});
  EXPECT_EQ(overview.code, 0);
  EXPECT_TRUE(overview.out.starts_with("usage: recordhaul [VERB [OPTIONS...]]\n"));
  for (const char* verb : {"list", "export", "preview", "run", "template", "dirs", "sample"})
    EXPECT_NE(overview.out.find(std::string("\n  ") + verb + " "), std::string::npos) << verb;
  EXPECT_EQ(test::RunCli({}).code, 2);

  for (const char* verb : {"list", "export", "preview", "run", "template", "dirs", "sample"}) {
    auto help = test::RunCli({verb, "--help"});
    EXPECT_EQ(help.code, 0) << verb;
    EXPECT_TRUE(help.out.starts_with(std::string("usage: recordhaul ") + verb)) << help.out;
    EXPECT_EQ(test::RunCli({"help", verb}).out, help.out);
    EXPECT_EQ(test::RunCli({verb, "-h"}).out, help.out);
  }
  auto version = test::RunCli({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_TRUE(version.out.starts_with("recordhaul ")) << version.out;
}

}  // namespace
}  // namespace rh
