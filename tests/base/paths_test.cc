#include "base/file_replacement.h"
#include "base/paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace rh {
namespace {

class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/rh_paths_XXXXXX";
    path_ = ::mkdtemp(tmpl);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Paths, JoinKeepsTheDirectoryAsStored) {
  EXPECT_EQ(JoinPath("/a/b", "F.dat"), "/a/b/F.dat");
  EXPECT_EQ(JoinPath("/a/b/", "F.dat"), "/a/b//F.dat");
  EXPECT_EQ(WithForwardSlashes("D:\\ACCT\\DATA\\"), "D:/ACCT/DATA/");
  EXPECT_EQ(DirName("/x/y.txt"), "/x/");
  EXPECT_EQ(BaseName("/x/y.txt"), "y.txt");
  EXPECT_EQ(DirName("y.txt"), "");
}

TEST(Paths, ResolvesNamesInAnyLetterCase) {
  TempDir dir;
  WriteFile(dir.path() + "/qzgl01fr.DAT", "x");
  Env* env = Env::Default();
  EXPECT_EQ(ResolveIgnoringCase(env, dir.path(), "QZGL01FR.dat"),
            dir.path() + "/qzgl01fr.DAT");
  EXPECT_EQ(ResolveIgnoringCase(env, dir.path(), "QZGL02FR.dat"),
            dir.path() + "/QZGL02FR.dat");
  EXPECT_EQ(ResolveIgnoringCase(env, dir.path() + "/missing", "a"),
            dir.path() + "/missing/a");
}

TEST(Paths, ReplacementLeavesTheTargetUntilCommit) {
  TempDir dir;
  std::string target = dir.path() + "/out.txt";
  WriteFile(target, "old");
  {
    auto rep = FileReplacement::Begin(Env::Default(), target);
    ASSERT_TRUE(rep.ok());
    ASSERT_TRUE((*rep)->file()->Append("new").ok());
    EXPECT_EQ(ReadFile(target), "old");
    // Dropped without Commit: abandoned.
  }
  EXPECT_EQ(ReadFile(target), "old");
  auto names = Env::Default()->ListDirectory(dir.path());
  ASSERT_TRUE(names.ok());
  EXPECT_EQ(names->size(), 1u);

  auto rep = FileReplacement::Begin(Env::Default(), target);
  ASSERT_TRUE(rep.ok());
  ASSERT_TRUE((*rep)->file()->Append("new").ok());
  ASSERT_TRUE((*rep)->Commit().ok());
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(Env::Default()->ListDirectory(dir.path())->size(), 1u);
}

TEST(Paths, ReadableRefusesDirectoriesAndFifos) {
  TempDir dir;
  EXPECT_FALSE(Env::Default()->OpenReadable(dir.path()).ok());
  std::string fifo = dir.path() + "/fifo";
  ASSERT_EQ(std::system(("mkfifo '" + fifo + "'").c_str()), 0);
  EXPECT_FALSE(Env::Default()->OpenReadable(fifo).ok());  // must not block
}

TEST(Paths, WritesToAFullDeviceFailAtClose) {
  auto file = Env::Default()->OpenWritable("/dev/full", WriteMode::kOverwriteStart);
  ASSERT_TRUE(file.ok());
  EXPECT_TRUE((*file)->Append("small").ok());  // buffered
  EXPECT_FALSE((*file)->Close().ok());
}

}  // namespace
}  // namespace rh
