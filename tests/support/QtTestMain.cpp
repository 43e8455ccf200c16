// SPDX-License-Identifier: GPL-3.0-or-later
// The main of the Qt tests (window and chart): they run on the off-screen
// platform, whatever display the machine has, so no window ever appears and
// no dialog waits for a person.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

#include "core/ProcessLocale.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication App(argc, argv);
  quorvin::SetUpProcessLocale();
  return RUN_ALL_TESTS();
}
