// The LOGPRN conversion: the checked sensors of the loaded log over the
// chosen range, one line per time step with the date and time first and one
// column per sensor, shown in the display pane or saved to a .PRN text file
// or an .XLS workbook beside the log.
#pragma once

#include <string>
#include <vector>

#include "core/DateTimeFormat.h"
#include "core/OutputFile.h"
#include "core/UiServices.h"
#include "report/LogPrnOptions.h"
#include "report/LogSelection.h"

namespace quorvin {

// Lines are handed on once more than this many are pending, or once they
// hold more than ChunkBytes characters (very wide lines).
constexpr int ChunkLines = 256;
constexpr std::size_t ChunkBytes = 1 << 20;

class TLogExport {
public:
  // CommandMode 0 displays into Ui.Pane; any other value saves to the output
  // file. A CSV conversion works on a time grid of its own; the selection
  // keeps the range and interval the user chose.
  TLogExport(TLogSelection& Selection, const TLogPrnOptions& Options, const TDateTimeFormat& Format,
             int CommandMode, TUiServices& Ui);

  // Separator: GetFieldSeparator for the same options and command mode.
  // True on success; false when nothing could be converted (no log loaded,
  // sensors with different logging intervals) or any part of the output
  // failed, after telling the user where a dialog applies.
  bool ConvertLogToText(const std::string& Separator);

  // The file a save writes (formed when saving); kept for the caller's
  // message "Log written to ...".
  const std::string& OutputFileName() const { return FOutputFileName; }

  // The column header lines for the checked sensors.
  void BuildColumnHeader(std::vector<std::string>& Lines, const std::string& Separator) const;
  // "R630/R600 DATA FROM: ..." or "CSV LOG DATA FROM: ...".
  std::string TitleLine() const;

  // Folder of the log + its name up to the first full stop, upper case,
  // + ".PRN" (TEXT) or ".XLS" (EXCEL).
  static std::string MakeOutputFileName(const std::string& LogFileDir,
                                        const std::string& LogFileName, int OutputFormat);

private:
  struct TColumn;
  class TPendingLines;
  class TLineMaker;

  // The steps of ConvertLogToText.
  void StartConversion();
  void AddColumns(TLineMaker& Maker, int SensorCount) const;
  void RunRecordLoop(TLineMaker& Maker);
  void RunGridLoop(TLineMaker& Maker);
  // With excluded lines: the next grid time on a day that has a record.
  bool SkipEmptyStretch(TLineMaker& Maker, std::int64_t& T, std::int64_t Step);
  std::int64_t NextRecordTime(const TLineMaker& Maker, std::int64_t From) const;

  bool WriteOutputChunk(TPendingLines& Lines, bool FileExisted, bool Append, bool FirstChunk);
  bool ShowOutputChunk(TPendingLines& Lines, bool FirstChunk);
  bool HandOn(TPendingLines& Lines);
  bool FinishOutput();
  // False after the warning on different logging intervals.
  bool SetUpCSVGrid(bool& RecordByRecord);

  TLogSelection& FSel;
  const TLogPrnOptions& FOptions;
  const TDateTimeFormat& FFormat;
  int FCommandMode;
  TUiServices& FUi;
  std::string FOutputFileName;

  // The time grid of one conversion: the selection's, or a CSV log's own.
  LogTime FStartTime = 0;
  LogTime FEndTime = 0;
  std::int32_t FLogInterval = 0;

  // Chunk state of one conversion.
  TOutputFile FOut;
  bool FFileExisted = false;
  bool FAppend = false;
  bool FFirstChunk = true;
  bool FFailed = false;
  bool FAnyChunkWritten = false;
  // How far the loop has come, for the busy cursor's progress.
  std::int64_t FProgressDone = 0;
  std::int64_t FProgressTotal = 0;
};

// The same, for callers that want one call: OutputFileName receives the name
// a save wrote (or tried to write).
bool ConvertLogToText(TLogSelection& Selection, const TLogPrnOptions& Options,
                      const TDateTimeFormat& Format, int CommandMode, const std::string& Separator,
                      TUiServices& Ui, std::string& OutputFileName);

} // namespace quorvin
