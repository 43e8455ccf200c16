// SPDX-License-Identifier: GPL-3.0-or-later
// Seeds of the RAM card and settings targets (the RAM card generator lives
// apart from the log generator: both name their byte writers alike).
#include "Seeds.h"
#include "generators/RamCardGen.h"

namespace quorvin::fuzz {

bool WriteRamCardSeeds(const std::string& Root) {
  using namespace quorvin::test;
  const std::string Dir = Root + "/fuzz_ramcard";
  std::vector<TRamGenEntry> Files = {{"SITE1.LOG", std::string(37, 'x')},
                                     {"", "no name"},
                                     {".", "a point"},
                                     {"DATA.TXT", "odd"},
                                     {"EMPTY.DAT", ""}};
  bool Ok = WriteSeed(Dir, "dump", RamGenDump(Files));
  Ok = WriteSeed(Dir, "image", RamGenDump({{"A.B", "image data"}}, true, '\x5a')) && Ok;
  TRamGenEntry Bad("BAD.SUM", "damaged", 0x1234);
  TRamGenEntry Short("SHORT.LEN", "x");
  Short.Length = 10;
  Ok = WriteSeed(Dir, "damaged", RamGenDump({Bad, {"GOOD.ONE", "fine"}, Short})) && Ok;
  Ok = WriteSeed(Dir, "hostile-names",
                 RamGenDump({{"../UP.LOG", "u"}, {"A\\B.LOG", "b"}, {"ESC\x1b[2J.L", "e"}})) &&
       Ok;
  return Ok;
}

bool WriteIniSeeds(const std::string& Root) {
  const std::string Dir = Root + "/fuzz_inifile";
  const std::string Full = "[General]\r\nDateTimeFormat=DD/MM/YYYY HH:MM:SS\r\n"
                           "[LogPrn]\r\nOutputFormat=excel\r\nAppendData=no\r\n"
                           "UseSysFormat=YES\r\nDisplaySeconds=yes\r\nDisplayJulianDate=NO\r\n"
                           "DisplayFixedFormat=YES\r\nAddBlankLine=1\r\nDisplayAsDash=YES\r\n"
                           "DisplayAsZero=YES\r\nExcludeNonRecItems=NO\r\nR600ASCII=YES\r\n"
                           "[LogPlot]\r\nBackgroundColor=clNavy\r\nTextColor=clNope\r\n"
                           "[RAMCard]\r\nRAMDirectory=/media/card/\r\n"
                           "[DDRLog]\r\nDDROutputFormat=EXCEL\r\nAppendDDRData=YES\r\n"
                           "AddHeader=YES\r\nAddData=NO\r\nAddNotes=NO\r\nUSGSStation=YES\r\n"
                           "USGSDevice=YES\r\nDeviceName=TXV900\r\n"
                           "[Other]\r\n; kept as it is\r\nKey=Value\r\n";
  bool Ok = WriteSeed(Dir, "full", Full);
  Ok = WriteSeed(Dir, "one-half-format", "[General]\nDateTimeFormat=MMDDYY\n") && Ok;
  Ok = WriteSeed(Dir, "empty", "") && Ok;
  return Ok;
}

} // namespace quorvin::fuzz
