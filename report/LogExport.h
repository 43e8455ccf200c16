// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "report/LineMaker.h"
#include "report/LogPrnOptions.h"
#include "report/LogWalk.h"
#include "report/SelectedLog.h"

namespace quorvin {

class TLogExport : private IChunkSink {
public:
  // Mode Display shows the lines in Ui.Pane (as a line source where the pane
  // takes one); Save (mode None) writes the output file. A log whose sensors
  // have readings of their own (CSV) is converted on a time grid of its own;
  // the selection keeps the range and interval the user chose.
  TLogExport(TSelectedLog& Selection, const TLogPrnOptions& Options, const TDateTimeFormat& Format,
             TCommandMode CommandMode, TUiServices& Ui);

  // Separator: GetFieldSeparator for the same options and command mode.
  // True on success; false when nothing could be converted (no log loaded,
  // sensors with different logging intervals) or any part of the output
  // failed, after telling the user where a dialog applies.
  bool ConvertLogToText(const std::string& Separator);

  // The file a save writes (formed when saving); kept for the caller's
  // message "Log written to ...".
  const std::string& OutputFileName() const { return FOutputFileName; }
  // A save into FileName instead of the file beside the log.
  void SetOutputFileName(const std::string& FileName) { FTargetFileName = FileName; }

  // Only the lines of the time grid from From to To (both included), with
  // the title naming their dates. The grid itself stays where the log puts
  // it, so the lines are those the whole conversion would make there.
  void SetTimeWindow(LogTime From, LogTime To);
  // Whether a save wrote any part of its file.
  bool AnythingWritten() const { return FAnyChunkWritten; }

  // The column header lines for the checked sensors.
  void BuildColumnHeader(std::vector<std::string>& Lines, const std::string& Separator) const;
  // The loaded log's data title ("R630/R600 DATA FROM: ...", ...).
  std::string TitleLine() const;

  // Threads a large Save formats its lines on, the calling thread counted,
  // which reads the log and writes the file: 0 (the default) for one per
  // core the process may use, 1 for the calling thread alone. The output is
  // the same whatever the number.
  void SetFormatThreads(unsigned Threads) { FFormatThreads = Threads; }

  // Folder of the log + its name up to the first full stop, upper case,
  // + ".PRN" (TEXT) or ".XLS" (EXCEL).
  static std::string MakeOutputFileName(const std::string& LogFileDir,
                                        const std::string& LogFileName, TOutputFormat OutputFormat);

private:
  // The steps of ConvertLogToText.
  void StartConversion();
  // The checked sensors' columns; their indexes go to the walk.
  std::vector<TValueColumn> MakeColumns(int SensorCount);
  // The Display into a pane that takes a line source.
  bool ShowLineSource(const std::string& Separator, std::vector<TValueColumn> Columns,
                      std::vector<std::string> Header);

  bool WriteOutputChunk(const TChunk& Chunk, bool FileExisted, bool Append, bool FirstChunk);
  bool ShowOutputChunk(const TChunk& Chunk, bool FirstChunk);
  // Shows or writes a chunk; false when the conversion stops there.
  bool HandOn(const TChunk& Chunk) override;
  bool FinishOutput();
  // The grid of a log whose sensors have readings of their own (a CSV
  // log); false after the warning on different logging intervals.
  bool SetUpOwnGrid(bool& RecordByRecord);
  // The grid cut to the time window; false when no grid time is left.
  bool ApplyTimeWindow();

  TSelectedLog& FSel;
  const TLogPrnOptions& FOptions;
  const TDateTimeFormat& FFormat;
  TCommandMode FCommandMode;
  TUiServices& FUi;
  unsigned FFormatThreads = 0;
  std::string FOutputFileName;
  std::string FTargetFileName;
  // The time steps of one conversion: the selection's grid, a CSV log's
  // own, or one sensor's records; the checked sensors' columns.
  TLogWalk FWalk;

  // Chunk state of one conversion.
  TOutputFile FOut;
  bool FFileExisted = false;
  bool FAppend = false;
  bool FFirstChunk = true;
  bool FFailed = false;
  bool FAnyChunkWritten = false;
};

// The same, for callers that want one call: OutputFileName receives the name
// a save wrote (or tried to write).
bool ConvertLogToText(TSelectedLog& Selection, const TLogPrnOptions& Options,
                      const TDateTimeFormat& Format, TCommandMode CommandMode,
                      const std::string& Separator, TUiServices& Ui, std::string& OutputFileName);

} // namespace quorvin
