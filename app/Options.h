// The options that survive between runs in Quorvin.ini, and the rules that
// read and write them. The window, quorvin-cli and the tests all go through
// LoadSettings / SaveSettings, so a key is parsed one way everywhere.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/DateTimeFormat.h"
#include "core/IniFile.h"
#include "report/LogPrnOptions.h"

namespace quorvin {

class TApplication;

// The toolkit's sixteen basic colours, in the order of the colour lists.
inline constexpr std::array<std::string_view, 16> ColourNames = {
    "clBlack",  "clMaroon", "clGreen", "clOlive",  "clNavy", "clPurple",  "clTeal", "clGray",
    "clSilver", "clRed",    "clLime",  "clYellow", "clBlue", "clFuchsia", "clAqua", "clWhite"};

// Section of a settings key, or empty when the program does not know the key.
std::string SettingsSectionOf(const std::string& Key);

// "EXCEL" (any case) gives 1, anything else 0.
int ParseOutputFormat(const std::string& Text);
std::string OutputFormatName(int Index);

// Reads every key (defaults for missing or malformed values), then shows the
// options in the controls.
void LoadSettings(TIniFile& Ini, TApplication& App);
// Takes the options from the controls, then writes every key in order.
void SaveSettings(TIniFile& Ini, TApplication& App);

} // namespace quorvin
