// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Settings.h"

#include <cstdint>

#include "app/Application.h"
#include "app/Captions.h"
#include "core/ClockZone.h"
#include "core/IniFile.h"
#include "core/MiscUtil.h"

namespace quorvin {

int ColourIndex(std::string_view Name) {
  for (std::size_t I = 0; I < ColourNames.size(); ++I)
    if (ColourNames[I] == Name) return static_cast<int>(I);
  return -1;
}

int ParseOutputFormat(const std::string& Text) { return UpperCase(Text) == "EXCEL" ? 1 : 0; }

std::string OutputFormatName(int Index) { return Index == 1 ? "EXCEL" : "TEXT"; }

namespace {

std::string YesNoText(bool Value) { return Value ? "YES" : "NO"; }

// One row per key: the option it holds is named once, in both directions.
#define QUORVIN_YESNO(Section, Key, Default, Field)                                                \
  TSetting {                                                                                       \
    Section, Key, TSettingKind::YesNo, Default,                                                    \
        [](const TApplication& A) { return YesNoText(A.Field); },                                  \
        [](TApplication& A, const std::string& T) {                                                \
          A.Field = ParseYesNo(T, std::string_view(Default) == "YES");                             \
        }                                                                                          \
  }
#define QUORVIN_TEXT(Section, Key, Kind, Default, Field)                                           \
  TSetting {                                                                                       \
    Section, Key, Kind, Default, [](const TApplication& A) { return A.Field; },                    \
        [](TApplication& A, const std::string& T) { A.Field = T; }                                 \
  }

const TSetting Table[] = {
    {"General", "DateTimeFormat", TSettingKind::DateTimeFormat, DefaultDateTimeFormat,
     [](const TApplication& A) { return DateTimeFormatName(A.Format); },
     [](TApplication& A, const std::string& T) {
       // A name longer than any format is ignored like an unknown colour:
       // it would slow every line it renders and be saved back doubled.
       SetDateTimeFormat(A.Format, T.size() <= MaxDateTimeFormatName ? T : DefaultDateTimeFormat);
     }},
    {"LogPrn", "OutputFormat", TSettingKind::OutputFormat, "TEXT",
     [](const TApplication& A) { return OutputFormatName(A.LogPrn.OutputFormat); },
     [](TApplication& A, const std::string& T) { A.LogPrn.OutputFormat = ParseOutputFormat(T); }},
    QUORVIN_YESNO("LogPrn", "AppendData", "YES", LogPrn.AppendData),
    QUORVIN_YESNO("LogPrn", "UseSysFormat", "YES", LogPrn.UseSysFormat),
    QUORVIN_YESNO("LogPrn", "DisplaySeconds", "NO", LogPrn.DisplaySeconds),
    QUORVIN_YESNO("LogPrn", "DisplayJulianDate", "NO", LogPrn.DisplayJulianDate),
    QUORVIN_YESNO("LogPrn", "DisplayFixedFormat", "NO", LogPrn.DisplayFixedFormat),
    QUORVIN_YESNO("LogPrn", "AddBlankLine", "NO", LogPrn.AddBlankLine),
    QUORVIN_YESNO("LogPrn", "DisplayAsDash", "YES", LogPrn.DisplayAsDash),
    QUORVIN_YESNO("LogPrn", "DisplayAsZero", "NO", LogPrn.DisplayAsZero),
    QUORVIN_YESNO("LogPrn", "ExcludeNonRecItems", "NO", LogPrn.ExcludeNonRecItems),
    QUORVIN_YESNO("LogPrn", "R600ASCII", "NO", LogPrn.R600ASCII),
    QUORVIN_TEXT("LogPlot", "BackgroundColor", TSettingKind::Colour, "clWhite",
                 Colours.BackgroundColor),
    QUORVIN_TEXT("LogPlot", "TextColor", TSettingKind::Colour, "clBlack", Colours.TextColor),
    QUORVIN_TEXT("RAMCard", "RAMDirectory", TSettingKind::Text, "", RamCardPage.RAMDirectory),
    {"DDRLog", "DDROutputFormat", TSettingKind::OutputFormat, "TEXT",
     [](const TApplication& A) { return OutputFormatName(A.DDRObj.Layout.DDROutputFormat); },
     [](TApplication& A, const std::string& T) {
       A.DDRObj.Layout.DDROutputFormat = static_cast<std::uint8_t>(ParseOutputFormat(T));
     }},
    QUORVIN_YESNO("DDRLog", "AppendDDRData", "NO", DDRObj.Layout.AppendDDRData),
    QUORVIN_YESNO("DDRLog", "AddHeader", "NO", DDRObj.Layout.AddHeader),
    QUORVIN_YESNO("DDRLog", "AddData", "YES", DDRObj.Layout.AddData),
    QUORVIN_YESNO("DDRLog", "AddNotes", "YES", DDRObj.Layout.AddNotes),
    QUORVIN_YESNO("DDRLog", "USGSStation", "NO", DDRObj.Layout.USGSStation),
    QUORVIN_YESNO("DDRLog", "USGSDevice", "NO", DDRObj.Layout.USGSDevice),
    QUORVIN_TEXT("DDRLog", "DeviceName", TSettingKind::Text, "TXV900", DDRObj.Layout.DeviceName),
    {"Export", "LoggerTimeZone", TSettingKind::TimeZone, "",
     [](const TApplication& A) { return A.LoggerTimeZone; },
     [](TApplication& A, const std::string& T) {
       TClockZone Zone;
       std::string Error;
       A.LoggerTimeZone = Zone.Assign(T, Error) ? T : std::string();
     }},
};

#undef QUORVIN_YESNO
#undef QUORVIN_TEXT

} // namespace

std::span<const TSetting> SettingsTable() { return Table; }

const TSetting* FindSetting(std::string_view Key) {
  for (const TSetting& S : Table)
    if (SameText(S.Key, Key)) return &S;
  return nullptr;
}

bool SettingAccepts(const TSetting& Setting, const std::string& Text) {
  const std::string Upper = UpperCase(Text);
  switch (Setting.Kind) {
  case TSettingKind::YesNo:
    return Upper == "YES" || Upper == "NO";
  case TSettingKind::OutputFormat:
    return Upper == "TEXT" || Upper == "EXCEL";
  case TSettingKind::DateTimeFormat:
    return DtFormatIndex(captions::LogPrnDtFormatNames, Text) >= 0;
  case TSettingKind::Colour:
    return ColourIndex(Text) >= 0;
  case TSettingKind::Text:
    return true;
  case TSettingKind::TimeZone: {
    TClockZone Zone;
    std::string Error;
    return Zone.Assign(Text, Error);
  }
  }
  return false;
}

std::string AcceptedValues(const TSetting& Setting) {
  std::string List;
  auto Join = [&List](std::string_view Item) { List = AppendField(List, ", ", std::string(Item)); };
  switch (Setting.Kind) {
  case TSettingKind::YesNo:
    return "YES, NO";
  case TSettingKind::OutputFormat:
    return "TEXT, EXCEL";
  case TSettingKind::DateTimeFormat:
    for (std::string_view Name : captions::LogPrnDtFormatNames) Join(Name);
    return List;
  case TSettingKind::Colour:
    for (std::string_view Name : ColourNames) Join(Name);
    return List;
  case TSettingKind::Text:
    return "any text";
  case TSettingKind::TimeZone:
    return "nothing (times as recorded), an IANA zone name such as America/Denver, or an offset "
           "such as -07:00";
  }
  return List;
}

void LoadSettings(TIniFile& Ini, TApplication& App) {
  for (const TSetting& S : Table)
    S.Set(App, Ini.ReadString(std::string(S.Section), std::string(S.Key), std::string(S.Default)));
  App.SetControlsFromOptions();
}

bool SaveSettings(TIniFile& Ini, TApplication& App) {
  App.GetOptionsFromControls();
  for (const TSetting& S : Table)
    Ini.WriteString(std::string(S.Section), std::string(S.Key), S.Get(App));
  return Ini.UpdateFile();
}

} // namespace quorvin
