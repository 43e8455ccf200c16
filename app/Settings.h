// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file Quorvin.ini: one table of every key with its section,
// default and kind. Loading, saving, quorvin-cli's --set and the DDR layout
// all go through it, so a key is named, defaulted and parsed in one place.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "core/OutputFormat.h"

namespace quorvin {

class TApplication;
class TIniFile;

// The toolkit's sixteen basic colours, in the order of the colour lists.
inline constexpr std::array<std::string_view, 16> ColourNames = {
    "clBlack",  "clMaroon", "clGreen", "clOlive",  "clNavy", "clPurple",  "clTeal", "clGray",
    "clSilver", "clRed",    "clLime",  "clYellow", "clBlue", "clFuchsia", "clAqua", "clWhite"};
// Position of a colour name in ColourNames (exact case), or -1.
int ColourIndex(std::string_view Name);

// How a key's stored text is read.
enum class TSettingKind {
  YesNo,          // "YES"/"NO" in any case; anything else gives the default
  OutputFormat,   // "EXCEL" in any case gives EXCEL, anything else TEXT
  DateTimeFormat, // a date-format name, split at its first blank
  Colour,         // one of the sixteen colour names; others are ignored
  Text,           // taken as it stands
  TimeZone,       // empty, an IANA zone name or a fixed offset; others give the default
};

struct TSetting {
  std::string_view Section;
  std::string_view Key;
  TSettingKind Kind;
  // The option's value as the file holds it, and the reading of a stored text.
  std::string (*Get)(const TApplication& App);
  void (*Set)(TApplication& App, const std::string& Text);
  // The option's initial value, as the file would hold it.
  std::string (*Default)();
};

// Every key, in the order the file is written.
std::span<const TSetting> SettingsTable();
// The row of Key (compared in upper case), or null.
const TSetting* FindSetting(std::string_view Key);

// True when the key's reading recognises Text as a value of its own rather
// than falling back to a default (--set refuses the others). Accepted names
// the values for a message.
bool SettingAccepts(const TSetting& Setting, const std::string& Text);
std::string AcceptedValues(const TSetting& Setting);

// "EXCEL" (any case) gives EXCEL, anything else TEXT; and back.
TOutputFormat ParseOutputFormat(const std::string& Text);
std::string OutputFormatName(TOutputFormat Format);

// Reads every key into the options (defaults for missing or malformed
// values) as the controls can show them, then has the view show them.
void LoadSettings(TIniFile& Ini, TApplication& App);
// Writes every key in order; false when the file could not be written.
bool SaveSettings(TIniFile& Ini, TApplication& App);

} // namespace quorvin
