// The window tests run on the offscreen platform with the pinned look, in one application, with
// settings of their own.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/clock_mode_env.h"
#include "ui/launch.h"
#include "ui/look.h"

int main(int argc, char** argv) {
  if (!bruvik::test::apply_clock_mode_env()) return 2;
  // Also when the tests are only listed: the build asks for the list with no environment set.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  bruvik::ensure_runtime_dir();
  bruvik::quiet_offscreen_notes();
  QApplication app(argc, argv);
  bruvik::install_look(true);
  // The window's remembered choices go to a folder of the tests', never to the user's.
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
