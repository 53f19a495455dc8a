// SPDX-License-Identifier: GPL-3.0-or-later
// GoogleTest entry point for Qt-layer tests: an offscreen QApplication exists for the
// whole run, so fonts, painters and the printer service behave as in the program.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
