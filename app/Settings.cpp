// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Settings.h"

#include "app/Application.h"
#include "app/Captions.h"
#include "app/LogPrnControls.h"
#include "core/ClockZone.h"
#include "core/IniFile.h"
#include "core/MiscUtil.h"

namespace quorvin {

int ColourIndex(std::string_view Name) {
  for (std::size_t I = 0; I < ColourNames.size(); ++I)
    if (ColourNames[I] == Name) return static_cast<int>(I);
  return -1;
}

TOutputFormat ParseOutputFormat(const std::string& Text) {
  return UpperCase(Text) == "EXCEL" ? TOutputFormat::Excel : TOutputFormat::Text;
}

std::string OutputFormatName(TOutputFormat Format) {
  return Format == TOutputFormat::Excel ? "EXCEL" : "TEXT";
}

namespace {

std::string YesNoText(bool Value) { return Value ? "YES" : "NO"; }

// A name that is not one of the sixteen colours leaves the colour as it was.
void SetColour(std::string& Colour, const std::string& Name) {
  if (ColourIndex(Name) >= 0) Colour = Name;
}

// One row per key: the option it holds is named once, for reading, writing
// and its default, which is the initial value of the record holding the
// option (the record the engines and their tests start from as well).
#define QUORVIN_SETTING(Section, Key, Kind, Record, Type, Field, ToText, FromText)                 \
  TSetting {                                                                                       \
    Section, Key, Kind, [](const TApplication& A) { return ToText(A.Record.Field); },              \
        [](TApplication& A, const std::string& T) { FromText(A.Record.Field, T, Type{}.Field); },  \
        [] { return ToText(Type{}.Field); }                                                        \
  }
#define QUORVIN_YESNO(Section, Key, Record, Type, Field)                                           \
  QUORVIN_SETTING(Section, Key, TSettingKind::YesNo, Record, Type, Field, YesNoText, ReadYesNo)

void ReadYesNo(bool& Option, const std::string& Text, bool Default) {
  Option = ParseYesNo(Text, Default);
}
void ReadOutputFormat(TOutputFormat& Option, const std::string& Text, TOutputFormat) {
  Option = ParseOutputFormat(Text);
}
void ReadColour(std::string& Option, const std::string& Text, const std::string&) {
  SetColour(Option, Text);
}
void ReadText(std::string& Option, const std::string& Text, const std::string&) { Option = Text; }
std::string AsText(const std::string& Text) { return Text; }

// The RAM card's output folder is empty until one is chosen.
struct TRamCardOptions {
  std::string RAMDirectory;
};

const TSetting Table[] = {
    {"General", "DateTimeFormat", TSettingKind::DateTimeFormat,
     [](const TApplication& A) { return DateTimeFormatName(A.Format); },
     [](TApplication& A, const std::string& T) {
       // A name longer than any format is ignored like an unknown colour:
       // it would slow every line it renders and be saved back doubled.
       SetDateTimeFormat(A.Format, T.size() <= MaxDateTimeFormatName ? T : DefaultDateTimeFormat);
     },
     [] { return std::string(DefaultDateTimeFormat); }},
    QUORVIN_SETTING("LogPrn", "OutputFormat", TSettingKind::OutputFormat, LogPrn, TLogPrnOptions,
                    OutputFormat, OutputFormatName, ReadOutputFormat),
    QUORVIN_YESNO("LogPrn", "AppendData", LogPrn, TLogPrnOptions, AppendData),
    QUORVIN_YESNO("LogPrn", "UseSysFormat", LogPrn, TLogPrnOptions, UseSysFormat),
    QUORVIN_YESNO("LogPrn", "DisplaySeconds", LogPrn, TLogPrnOptions, DisplaySeconds),
    QUORVIN_YESNO("LogPrn", "DisplayJulianDate", LogPrn, TLogPrnOptions, DisplayJulianDate),
    QUORVIN_YESNO("LogPrn", "DisplayFixedFormat", LogPrn, TLogPrnOptions, DisplayFixedFormat),
    QUORVIN_YESNO("LogPrn", "AddBlankLine", LogPrn, TLogPrnOptions, AddBlankLine),
    QUORVIN_YESNO("LogPrn", "DisplayAsDash", LogPrn, TLogPrnOptions, DisplayAsDash),
    QUORVIN_YESNO("LogPrn", "DisplayAsZero", LogPrn, TLogPrnOptions, DisplayAsZero),
    QUORVIN_YESNO("LogPrn", "ExcludeNonRecItems", LogPrn, TLogPrnOptions, ExcludeNonRecItems),
    QUORVIN_YESNO("LogPrn", "R600ASCII", LogPrn, TLogPrnOptions, R600ASCII),
    QUORVIN_SETTING("LogPlot", "BackgroundColor", TSettingKind::Colour, Colours, TChartColours,
                    BackgroundColor, AsText, ReadColour),
    QUORVIN_SETTING("LogPlot", "TextColor", TSettingKind::Colour, Colours, TChartColours, TextColor,
                    AsText, ReadColour),
    QUORVIN_SETTING("RAMCard", "RAMDirectory", TSettingKind::Text, RamCardPage, TRamCardOptions,
                    RAMDirectory, AsText, ReadText),
    QUORVIN_SETTING("DDRLog", "DDROutputFormat", TSettingKind::OutputFormat, DDRObj.Layout,
                    TDDRLayout, DDROutputFormat, OutputFormatName, ReadOutputFormat),
    QUORVIN_YESNO("DDRLog", "AppendDDRData", DDRObj.Layout, TDDRLayout, AppendDDRData),
    QUORVIN_YESNO("DDRLog", "AddHeader", DDRObj.Layout, TDDRLayout, AddHeader),
    QUORVIN_YESNO("DDRLog", "AddData", DDRObj.Layout, TDDRLayout, AddData),
    QUORVIN_YESNO("DDRLog", "AddNotes", DDRObj.Layout, TDDRLayout, AddNotes),
    QUORVIN_YESNO("DDRLog", "USGSStation", DDRObj.Layout, TDDRLayout, USGSStation),
    QUORVIN_YESNO("DDRLog", "USGSDevice", DDRObj.Layout, TDDRLayout, USGSDevice),
    QUORVIN_SETTING("DDRLog", "DeviceName", TSettingKind::Text, DDRObj.Layout, TDDRLayout,
                    DeviceName, AsText, ReadText),
    {"Export", "LoggerTimeZone", TSettingKind::TimeZone,
     [](const TApplication& A) { return A.LoggerTimeZone; },
     [](TApplication& A, const std::string& T) {
       TClockZone Zone;
       std::string Error;
       A.LoggerTimeZone = Zone.Assign(T, Error) ? T : std::string();
     },
     [] { return std::string(); }},
};

#undef QUORVIN_YESNO
#undef QUORVIN_SETTING

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
    S.Set(App, Ini.ReadString(std::string(S.Section), std::string(S.Key), S.Default()));
  NormaliseLogPrnOptions(App.LogPrn);
  App.ShowOptions();
}

bool SaveSettings(TIniFile& Ini, TApplication& App) {
  for (const TSetting& S : Table)
    Ini.WriteString(std::string(S.Section), std::string(S.Key), S.Get(App));
  return Ini.UpdateFile();
}

} // namespace quorvin
