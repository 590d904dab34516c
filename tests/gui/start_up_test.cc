// How the program decides between the window and the command line, run as
// the real executable in environments without a usable display.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/test_util.h"

namespace rh::test {
namespace {

struct Outcome {
  int exit_code;
  std::string err;
};

// The program with `environment` (on top of one without any display) and
// `args`.
Outcome RunProgram(const std::string& environment, const std::string& args,
                   const std::string& program = RECORDHAUL_BINARY) {
  TempDir dir;
  const std::string command = "env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY " +
                              environment + " XDG_CONFIG_HOME=" + dir.path() + " " +
                              program + " " + args + " 2>" + (dir / "err");
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir / "err")};
}

TEST(StartUp, WithoutAUsableDisplayTheCommandLineExplainsItself) {
  for (const char* environment : {"", "QT_QPA_PLATFORM=offscreen", "DISPLAY=:987"}) {
    SCOPED_TRACE(environment);
    EXPECT_EQ(RunProgram(environment, "--has-window").exit_code, 1);
    Outcome run = RunProgram(environment, "");
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.err.rfind("recordhaul: no display to open the window on", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("usage: recordhaul [VERB [OPTIONS...]]"), std::string::npos);
  }
}

TEST(StartUp, WithArgumentsItIsTheCommandLine) {
  // No Qt platform is started: this works with a display that is not there.
  Outcome run = RunProgram("DISPLAY=:987", "list types");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(RunProgram("DISPLAY=:987", "no-such-verb").exit_code, 2);
}

TEST(StartUp, WithoutTheWindowProgramOnlyTheWindowIsMissing) {
  // The command line copied away from recordhaul-window.
  TempDir dir;
  const std::string alone = dir / "recordhaul";
  ASSERT_EQ(std::system(("cp " RECORDHAUL_BINARY " " + alone).c_str()), 0);
  const std::string picture = dir / "x.png";
  const struct Case {
    std::string args;
    int exit_code;
    const char* err_start;
  } cases[] = {
      {"--has-window", 1, ""},
      {"", 2, "recordhaul: the window program could not be started: recordhaul-window is missing"},
      {"screenshot " + picture, 1, "recordhaul: the window program could not be started"},
      {"list types", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    Outcome run = RunProgram("QT_QPA_PLATFORM=offscreen", c.args, alone);
    EXPECT_EQ(run.exit_code, c.exit_code) << run.err;
    EXPECT_EQ(run.err.rfind(c.err_start, 0), 0u) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(picture));
}

// Installed, the window program lies in libexec/recordhaul beside bin/:
// the command line finds it there and hands it the screenshot verb.
TEST(StartUp, TheInstalledWindowProgramIsFound) {
  TempDir dir;
  std::filesystem::create_directories(dir / "bin");
  std::filesystem::create_directories(dir / "libexec/recordhaul");
  const std::string window = std::filesystem::path(RECORDHAUL_BINARY).parent_path() /
                             "recordhaul-window";
  ASSERT_EQ(std::system(("cp " RECORDHAUL_BINARY " " + (dir / "bin/recordhaul") + " && cp " +
                         window + " " + (dir / "libexec/recordhaul/"))
                            .c_str()),
            0);
  const std::string picture = dir / "window.png";
  Outcome run = RunProgram("QT_QPA_PLATFORM=offscreen", "screenshot " + picture,
                           dir / "bin/recordhaul");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(picture));
}

}  // namespace
}  // namespace rh::test
