#include "app/Options.h"

#include "app/Application.h"
#include "core/MiscUtil.h"

namespace quorvin {

namespace {

struct TSettingsKey {
  const char* Section;
  const char* Key;
};

// Every key of the settings file, in the order it is written.
constexpr TSettingsKey SettingsKeys[] = {
    {"General", "DateTimeFormat"},
    {"LogPrn", "OutputFormat"},
    {"LogPrn", "AppendData"},
    {"LogPrn", "UseSysFormat"},
    {"LogPrn", "DisplaySeconds"},
    {"LogPrn", "DisplayJulianDate"},
    {"LogPrn", "DisplayFixedFormat"},
    {"LogPrn", "AddBlankLine"},
    {"LogPrn", "DisplayAsDash"},
    {"LogPrn", "DisplayAsZero"},
    {"LogPrn", "ExcludeNonRecItems"},
    {"LogPrn", "R600ASCII"},
    {"LogPlot", "BackgroundColor"},
    {"LogPlot", "TextColor"},
    {"RAMCard", "RAMDirectory"},
    {"DDRLog", "DDROutputFormat"},
    {"DDRLog", "AppendDDRData"},
    {"DDRLog", "AddHeader"},
    {"DDRLog", "AddData"},
    {"DDRLog", "AddNotes"},
    {"DDRLog", "USGSStation"},
    {"DDRLog", "USGSDevice"},
    {"DDRLog", "DeviceName"},
};

int ColourIndex(const std::string& Name) {
  for (std::size_t I = 0; I < ColourNames.size(); ++I)
    if (ColourNames[I] == Name) return static_cast<int>(I);
  return -1;
}

void SetControlsFromOptions(TApplication& App) {
  ShowLogPrnOptions(App.LogPrn, App.LogPrnControls);
  App.LogPrnControls.cbxOutFormat = App.LogPrn.OutputFormat;
  std::string Name = DateTimeFormatName(App.Format);
  App.cbxDtFormat = DtFormatIndex(LogPrnDtFormatNames, Name);
  App.cbxDtFormatDDR = DtFormatIndex(OtherDtFormatNames, Name);
  // A colour name that is not one of the sixteen leaves the list's colour.
  int Back = ColourIndex(App.BackgroundColor);
  if (Back >= 0) App.STBackColor = Back;
  int Text = ColourIndex(App.TextColor);
  if (Text >= 0) App.STTextColor = Text;
}

void GetOptionsFromControls(TApplication& App) {
  ReadLogPrnOptions(App.LogPrnControls, App.LogPrn, App.Format);
  App.LogPrn.OutputFormat = App.LogPrnControls.cbxOutFormat;
  App.BackgroundColor = std::string(ColourNames[static_cast<std::size_t>(App.STBackColor)]);
  App.TextColor = std::string(ColourNames[static_cast<std::size_t>(App.STTextColor)]);
}

} // namespace

std::string SettingsSectionOf(const std::string& Key) {
  std::string Upper = UpperCase(Key);
  for (const auto& K : SettingsKeys)
    if (UpperCase(K.Key) == Upper) return K.Section;
  return std::string();
}

int ParseOutputFormat(const std::string& Text) { return UpperCase(Text) == "EXCEL" ? 1 : 0; }

std::string OutputFormatName(int Index) { return Index == 1 ? "EXCEL" : "TEXT"; }

void LoadSettings(TIniFile& Ini, TApplication& App) {
  SetDateTimeFormat(App.Format, Ini.ReadString("General", "DateTimeFormat", "MMDDYY HHMM"));
  TLogPrnOptions& O = App.LogPrn;
  O.OutputFormat = ParseOutputFormat(Ini.ReadString("LogPrn", "OutputFormat", "TEXT"));
  O.AppendData = ReadYesNo(Ini, "LogPrn", "AppendData", true);
  O.UseSysFormat = ReadYesNo(Ini, "LogPrn", "UseSysFormat", true);
  O.DisplaySeconds = ReadYesNo(Ini, "LogPrn", "DisplaySeconds", false);
  O.DisplayJulianDate = ReadYesNo(Ini, "LogPrn", "DisplayJulianDate", false);
  O.DisplayFixedFormat = ReadYesNo(Ini, "LogPrn", "DisplayFixedFormat", false);
  O.AddBlankLine = ReadYesNo(Ini, "LogPrn", "AddBlankLine", false);
  O.DisplayAsDash = ReadYesNo(Ini, "LogPrn", "DisplayAsDash", true);
  O.DisplayAsZero = ReadYesNo(Ini, "LogPrn", "DisplayAsZero", false);
  O.ExcludeNonRecItems = ReadYesNo(Ini, "LogPrn", "ExcludeNonRecItems", false);
  O.R600ASCII = ReadYesNo(Ini, "LogPrn", "R600ASCII", false);
  App.BackgroundColor = Ini.ReadString("LogPlot", "BackgroundColor", "clWhite");
  App.TextColor = Ini.ReadString("LogPlot", "TextColor", "clBlack");
  App.RAMDirectory = Ini.ReadString("RAMCard", "RAMDirectory", "");
  LoadDDRLayout(Ini, App.DDRLayout);
  SetControlsFromOptions(App);
}

void SaveSettings(TIniFile& Ini, TApplication& App) {
  GetOptionsFromControls(App);
  const TLogPrnOptions& O = App.LogPrn;
  Ini.WriteString("General", "DateTimeFormat", DateTimeFormatName(App.Format));
  Ini.WriteString("LogPrn", "OutputFormat", OutputFormatName(O.OutputFormat));
  WriteYesNo(Ini, "LogPrn", "AppendData", O.AppendData);
  WriteYesNo(Ini, "LogPrn", "UseSysFormat", O.UseSysFormat);
  WriteYesNo(Ini, "LogPrn", "DisplaySeconds", O.DisplaySeconds);
  WriteYesNo(Ini, "LogPrn", "DisplayJulianDate", O.DisplayJulianDate);
  WriteYesNo(Ini, "LogPrn", "DisplayFixedFormat", O.DisplayFixedFormat);
  WriteYesNo(Ini, "LogPrn", "AddBlankLine", O.AddBlankLine);
  WriteYesNo(Ini, "LogPrn", "DisplayAsDash", O.DisplayAsDash);
  WriteYesNo(Ini, "LogPrn", "DisplayAsZero", O.DisplayAsZero);
  WriteYesNo(Ini, "LogPrn", "ExcludeNonRecItems", O.ExcludeNonRecItems);
  WriteYesNo(Ini, "LogPrn", "R600ASCII", O.R600ASCII);
  Ini.WriteString("LogPlot", "BackgroundColor", App.BackgroundColor);
  Ini.WriteString("LogPlot", "TextColor", App.TextColor);
  Ini.WriteString("RAMCard", "RAMDirectory", App.RAMDirectory);
  SaveDDRLayout(Ini, App.DDRLayout);
  Ini.UpdateFile();
}

} // namespace quorvin
