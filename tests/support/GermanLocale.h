// SPDX-License-Identifier: GPL-3.0-or-later
// The C library's locale switched to German (a decimal comma, "." between
// the parts of a date) for the scope of a test, and back afterwards.
#pragma once

#include <clocale>
#include <string>

namespace quorvin::test {

class TGermanLocale {
public:
  TGermanLocale() : FOld(std::setlocale(LC_ALL, nullptr)) {
    FOk = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  }
  ~TGermanLocale() { std::setlocale(LC_ALL, FOld.c_str()); }
  TGermanLocale(const TGermanLocale&) = delete;
  TGermanLocale& operator=(const TGermanLocale&) = delete;
  // False when the machine lacks the locale (the project's setup makes it).
  bool Ok() const { return FOk; }

private:
  std::string FOld;
  bool FOk = false;
};

} // namespace quorvin::test
