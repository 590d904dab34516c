// The files `cmake --install` adds beside the program: the bash completion
// and the man page, both taken from the program's own help.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/test_util.h"

namespace rh {
namespace {

// What the completion offers for the words typed so far (the last one is
// being completed), one offer a line.
std::string Complete(const std::string& words) {
  test::TempDir dir;
  const std::string script = dir / "complete.sh";
  test::WriteFile(script,
                  "source '" RECORDHAUL_SOURCE_DIR "/program/recordhaul.bash'\n"
                  "PATH='" RECORDHAUL_BINARY_DIR "':$PATH\n"
                  "read -ra COMP_WORDS <<< '" + words + "'\n" +
                      (words.ends_with(' ') ? "COMP_WORDS+=('')\n" : "") +
                      "COMP_CWORD=$((${#COMP_WORDS[@]}-1))\n_recordhaul\n"
                      "printf '%s\\n' \"${COMPREPLY[@]}\"\n");
  std::FILE* pipe = popen(("bash '" + script + "' 2>&1").c_str(), "r");
  if (pipe == nullptr) return "popen failed";
  std::string out;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  pclose(pipe);
  return out;
}

TEST(BashCompletion, OffersVerbsOptionsAndValues) {
  const struct Case {
    std::string words;
    std::string offers;
  } cases[] = {
      {"recordhaul ex", "export\n"},
      {"recordhaul pre", "preview\n"},
      {"recordhaul help sc", "screenshot\n"},
      {"recordhaul export --enc", "--encoding\n"},
      {"recordhaul export --encoding u", "utf-8\n"},
      {"recordhaul preview --rec", "--records\n"},
      {"recordhaul list f", "files\nfields\n"},
      {"recordhaul template ", "create\nshow\n"},
      {"recordhaul export --module QZG", "QZGL\n"},
      {"recordhaul run x.xdf --over", "--overwrite\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Complete(c.words), c.offers) << c.words;
}

TEST(ManPage, HasEveryVerbsHelp) {
  const std::string page = test::ReadFile(RECORDHAUL_BINARY_DIR "/recordhaul.1");
  if (page.empty()) GTEST_SKIP() << "no man page (help2man missing)";
  EXPECT_TRUE(page.starts_with(".\\\" DO NOT MODIFY THIS FILE!")) << page.substr(0, 80);
  for (const char* verb : {"list", "export", "preview", "run", "template", "dirs", "sample"})
    EXPECT_NE(page.find(std::string(".SS ") + verb + "\n.nf\nusage: recordhaul " + verb),
              std::string::npos)
        << verb;
  EXPECT_NE(page.find("[\\-\\-encoding windows\\-1252|utf\\-8]"), std::string::npos);
}

}  // namespace
}  // namespace rh
