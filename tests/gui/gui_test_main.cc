// GUI tests: one QApplication on the offscreen platform (no display needed),
// with the settings and Documents folders redirected to a temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>

#include "tests/test_util.h"

int main(int argc, char** argv) {
  rh::test::TempDir home;
  ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
