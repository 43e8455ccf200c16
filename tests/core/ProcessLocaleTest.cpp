// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ProcessLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/DateTimeFormat.h"

namespace quorvin {
namespace {

// Under a German user locale the start-up takes its date separator but keeps
// the C library's numbers in the C locale.
TEST(ProcessLocale, UserLocaleExceptForNumbers) {
  const std::string Old = std::setlocale(LC_ALL, nullptr);
  const char* Env = std::getenv("LC_ALL");
  const std::string OldEnv = Env ? Env : "";
  ::setenv("LC_ALL", "de_DE.UTF-8", 1);
  SetUpProcessLocale();
  const std::string Time = std::setlocale(LC_TIME, nullptr);
  const std::string Numeric = std::setlocale(LC_NUMERIC, nullptr);
  char D = 0, T = 0;
  SystemSeparators(D, T);
  char Number[16];
  std::snprintf(Number, sizeof Number, "%.2f", 2.5);
  if (Env)
    ::setenv("LC_ALL", OldEnv.c_str(), 1);
  else
    ::unsetenv("LC_ALL");
  std::setlocale(LC_ALL, Old.c_str());

  EXPECT_EQ(Time, "de_DE.UTF-8");
  EXPECT_EQ(D, '.');
  EXPECT_EQ(Numeric, "C");
  EXPECT_EQ(std::string(Number), "2.50");
}

} // namespace
} // namespace quorvin
