// Runs every fuzz harness on its seeds and on each input that once broke one
// of its rules, so that a fixed fault stays fixed in every build.
#include <gtest/gtest.h>

#include <cerrno>

#include "tests/fuzz/harness.h"
#include "tests/fuzz/mem_env.h"

namespace rh::fuzz {
namespace {

struct Regression {
  const char* target;
  const char* what;  // the fault the input found
  std::string input;
};

std::string FromHex(std::string_view hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return out;
}

// Inputs found by the fuzzers, minimised, with what they broke.
std::vector<Regression> Regressions() {
  return {
      {"data_file",
       "a dBase export of a text field of length -1 makes CREATE TABLE ... TEXT(-1), which "
       "fails (Error #11) as it should; the harness had taken it for a statement the writer "
       "must never make",
       FromHex(
           "09f75248f7000000000000515a474c20506179726f6c6c6f756e7473204d61737465720000000000"
           "00000020000001000000004e616d65000000000000000000000000000000000000000000000000ff"
           "ffffff540000010000000000000000000000000000000000fcffffffff7f4c0000618000000000ff"
           "ff44000000f75248f700000000000000000000000000000000000000000000000000000000000000"
           "00000000000000000000000000010000213b00000000000000000000000000000000000000000000"
           "00000100000000000000000000000000000000000000000000000000000000000000000000000000"
           "00000000000000000000000000000000000000000000000000060000000000000020200000436974"
           "79000000000000202020202020202020202020202020202020202020202020726120202020202020"
           "00000020202020202020202020200000000000000000000000000000000000000000001d4572726f"
           "72202336000000000000000000000000000000000000000000000000000000000000000000000000"
           "00000000000000000000000000000000000000000000000000010000213b00000000000000000000"
           "00000000000000000000000000000100000000000000000000000000000000000000000000000000"
           "00000000000000000000000000000000000000000000000000000000000000000000000000000000"
           "00000020200000436974790000000000002020202020202020202020202020202020202020202020"
           "20726120202020202020000000")},
  };
}

TEST(FuzzHarness, EveryTargetRunsItsSeeds) {
  for (const Target& t : Targets()) {
    std::vector<std::string> seeds = t.seeds();
    EXPECT_FALSE(seeds.empty()) << t.name;
    for (const std::string& seed : seeds)
      t.run(reinterpret_cast<const uint8_t*>(seed.data()), seed.size());
    t.run(nullptr, 0);
  }
}

TEST(FuzzHarness, InputsThatOnceBrokeARule) {
  for (const Regression& r : Regressions()) {
    const Target* t = FindTarget(r.target);
    ASSERT_NE(t, nullptr) << r.target;
    SCOPED_TRACE(std::string(r.target) + ": " + r.what);
    t->run(reinterpret_cast<const uint8_t*>(r.input.data()), r.input.size());
  }
}

TEST(FuzzHarness, SectionsSplitAtEveryBreak) {
  const std::string last = std::string("b").append(kSectionBreak).append("c");
  const std::string joined = JoinSections({"a", "", last});
  auto parts = Sections(joined, 3);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0], "a");
  EXPECT_EQ(parts[1], "");
  EXPECT_EQ(parts[2], last);
  EXPECT_EQ(Sections("x", 3), (std::vector<std::string_view>{"x", "", ""}));
}

// The harnesses rely on the memory Env refusing what the disk refuses.
TEST(FuzzHarness, MemEnvBehavesLikeTheDisk) {
  MemEnv env;
  env.Put("/a/b/f.dat", "12345");
  EXPECT_EQ(env.GetFileKind("/a//b/"), FileKind::kDirectory);
  EXPECT_EQ(env.GetFileKind("/a/b/f.dat"), FileKind::kRegular);
  EXPECT_EQ(env.GetFileKind(""), FileKind::kMissing);
  EXPECT_EQ(env.OpenReadable("/a/b").status().sys_error(), EISDIR);
  EXPECT_EQ(env.OpenWritable("/no/f", WriteMode::kCreateTruncate).status().sys_error(), ENOENT);
  EXPECT_EQ(env.OpenWritable("/a/b/f.dat", WriteMode::kCreateNew).status().sys_error(), EEXIST);
  EXPECT_EQ(env.OpenWritable("/a/b/g", WriteMode::kAppend).status().sys_error(), ENOENT);
  auto w = env.OpenWritable("/a/b/f.dat", WriteMode::kOverwriteStart);
  ASSERT_TRUE(w.ok());
  ASSERT_TRUE((*w)->Append("ab").ok());
  EXPECT_EQ(env.Get("/a/b/f.dat"), "ab345");
  ASSERT_TRUE(env.Rename("/a/b/f.dat", "/a/g.dat").ok());
  EXPECT_EQ(env.Rename("/a/g.dat", "/a/b").sys_error(), EISDIR);
  EXPECT_EQ(*env.ListDirectory("/a"), (std::vector<std::string>{"b", "g.dat"}));
  EXPECT_TRUE(env.SameFile("/a//g.dat", "/a/g.dat"));
}

}  // namespace
}  // namespace rh::fuzz
