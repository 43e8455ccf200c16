// SPDX-License-Identifier: GPL-3.0-or-later
#include "ddr/DDRObj.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "core/FileNames.h"
#include "core/Messages.h"
#include "core/MiscUtil.h"
#include "core/UiServices.h"
#include "workbook/Workbook.h"

namespace quorvin {

namespace fs = std::filesystem;

namespace {

bool IsFile(const std::string& Path) {
  std::error_code Ec;
  return fs::is_regular_file(Path, Ec);
}

bool IsDirectory(const std::string& Path) {
  std::error_code Ec;
  return fs::is_directory(Path, Ec);
}

} // namespace

// ---------------------------------------------------------------------------
// Input file

bool TDDRObj::ValidateDDRFile(std::string& DefaultOutput) {
  if (DDRFileName.empty()) return false;
  if (!IsFile(DDRFileName)) {
    FDialog.Show(TMsgKind::Error, MsgFileMissing, TMsgButtons::OK);
    return false;
  }
  if (UpperCase(ExtractFileExt(DDRFileName)) != ".DDR") {
    FDialog.Show(TMsgKind::Error, MsgFileInvalid, TMsgButtons::OK);
    return false;
  }
  DDRDirectory = ExtractFilePath(DDRFileName);
  DDROutputFileName = ProposedOutputFileName(DDRFileName, Layout.DDROutputFormat);
  DefaultOutput = DDROutputFileName;
  return true;
}

std::string TDDRObj::ProposedOutputFileName(const std::string& DDRFileName,
                                            TOutputFormat OutputFormat) {
  return OutputNameBeside(ExtractFilePath(DDRFileName), DDRFileName,
                          OutputFormat == TOutputFormat::Excel);
}

std::string TDDRObj::TypedOutputFileName(const std::string& Typed, const std::string& DDRFileName) {
  return ExtractFilePath(Typed).empty() ? ExtractFilePath(DDRFileName) + Typed : Typed;
}

bool TDDRObj::OpenDDR(std::string& DefaultOutput) {
  CloseDDR();
  DefaultOutput.clear();
  if (!ValidateDDRFile(DefaultOutput)) return false;
  FInput = ::open(DDRFileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (FInput < 0) {
    FDialog.Show(TMsgKind::Error, "Unable to open DDR file " + DDRFileName, TMsgButtons::OK);
    return false;
  }
  Rewind();
  return true;
}

void TDDRObj::CloseDDR() {
  if (FInput >= 0) ::close(FInput);
  FInput = -1;
}

// ---------------------------------------------------------------------------
// Output file

bool TDDRObj::ValidateOutputFile() {
  if (DDROutputFileName.empty()) return false;
  std::string Prefix;
  const std::string Dir = ExtractFilePath(DDROutputFileName);
  std::error_code Ec;
  if (Dir.empty()) {
    Prefix = DDRDirectory;
    if (!Prefix.empty() && !IsDirectory(Prefix)) fs::create_directories(Prefix, Ec);
  } else if (!IsDirectory(Dir)) {
    if (FDialog.Show(TMsgKind::Confirmation, "Path does not exist. Do you wish to create it?",
                     TMsgButtons::YesNo) != TMsgResult::Yes)
      return false;
    fs::create_directories(Dir, Ec);
  }
  const std::string Name = ExtractFileName(DDROutputFileName);
  if (Name.empty()) {
    FDialog.Show(TMsgKind::Error, "Please enter Output File name.", TMsgButtons::OK);
    return false;
  }
  const std::string Ext = UpperCase(ExtractFileExt(Name));
  if (Layout.Excel() && Ext != OutputFileExt(true)) {
    FDialog.Show(TMsgKind::Error, "Please enter valid \"Excel\" Output File Name.",
                 TMsgButtons::OK);
    return false;
  }
  if (!Layout.Excel() && Ext != OutputFileExt(false)) {
    FDialog.Show(TMsgKind::Error, "Please enter valid \"Text\" Output File Name.", TMsgButtons::OK);
    return false;
  }
  const std::string Full = Prefix + DDROutputFileName;
  if (fs::exists(Full, Ec)) {
    const fs::perms P = fs::status(Full, Ec).permissions();
    const fs::perms Write =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (!Ec && (P & Write) == fs::perms::none) {
      FDialog.Show(TMsgKind::Error, "Unable to write to a Read-only file.", TMsgButtons::OK);
      return false;
    }
  }
  DDROutputFileName = Full;
  return true;
}

void TDDRObj::MatchOutputExt(std::string& NewName) {
  if (!DDROutputFileName.empty())
    DDROutputFileName = ChangeFileExt(DDROutputFileName, OutputFileExt(Layout.Excel()));
  NewName = DDROutputFileName;
}

bool TDDRObj::OpenOutput(bool Append) {
  CloseOutput(false);
  const std::string Path = DDROutputFileName;
  bool Opened = false;
  // Appending to a workbook would turn it into text: refused, as the LOGPRN
  // export refuses it. A new file replaces the old one only when complete;
  // an append that fails is cut back to what the file held.
  if (Append && IsFile(Path))
    Opened = CanAppendText(Path, Layout.Excel()) && FOut.OpenAppend(Path);
  else
    Opened = FOut.OpenReplace(Path);
  if (!Opened) {
    FDialog.Show(TMsgKind::Error, MsgOpeningOutput(Path), TMsgButtons::OK, FOut.FailureReason());
    return false;
  }
  return true;
}

bool TDDRObj::WriteOutput(const std::string& Text) { return FOut.Write(Text) && FOut.Flush(); }

bool TDDRObj::CloseOutput(bool Complete,
                          const std::function<bool(const std::string& FileName)>& Finish) {
  if (!FOut.IsOpen()) return true;
  bool Ok = Complete && FOut.Close();
  if (Ok && Finish) Ok = Finish(FOut.WrittenName());
  if (Ok) Ok = FOut.Publish();
  if (!Ok) FOut.Abandon();
  // A write that failed on the way (a full disk, a file-size limit) says why.
  if (!FOut.FailureReason().empty())
    FDialog.Show(TMsgKind::Error, MsgClosingOutput, TMsgButtons::OK, FOut.FailureReason());
  return Ok;
}

} // namespace quorvin
