// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ProcessLocale.h"

#include <clocale>

namespace quorvin {

void SetUpProcessLocale() {
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
}

} // namespace quorvin
