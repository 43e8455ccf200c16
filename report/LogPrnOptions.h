// SPDX-License-Identifier: GPL-3.0-or-later
// The LOGPRN page's options as plain values, named by their settings keys.
// The settings file, the window's controls and quorvin-cli's --set all fill
// this one struct; the conversion only reads it.
#pragma once

#include "core/OutputFormat.h"

namespace quorvin {

struct TLogPrnOptions {
  TOutputFormat OutputFormat = TOutputFormat::Text;
  bool AppendData = true;
  bool UseSysFormat = true;
  bool DisplaySeconds = false;
  bool DisplayJulianDate = false;
  bool DisplayFixedFormat = false;
  bool AddBlankLine = false;
  // Exactly one of the three is in force after the options are read from
  // the radio group; the settings file may hold any combination.
  bool DisplayAsDash = true;
  bool DisplayAsZero = false;
  bool ExcludeNonRecItems = false;
  bool R600ASCII = false;

  bool Excel() const { return OutputFormat == TOutputFormat::Excel; }
};

} // namespace quorvin
