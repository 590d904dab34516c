// The settings tests run with XDG_CONFIG_HOME in a fresh temporary folder,
// set before the first QSettings, so the user's own settings are never read
// or written.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "tests/test_util.h"

int main(int argc, char** argv) {
  rh::test::TempDir config;
  ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
