// SPDX-License-Identifier: GPL-3.0-or-later
// The logic of the RAMCARD page: choose the drive holding a dump, list its
// files, copy the checked ones into the output directory. Plain state that
// the window binds to its controls; the user sees messages through the UI
// services.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/UiServices.h"
#include "ramcard/MountPoints.h"
#include "ramcard/RamCard.h"

namespace quorvin {

// One stored file as a listing shows it.
struct TRamDirectoryEntry {
  std::string Name;
  std::int64_t Size = 0;
  bool ChecksumOk = false;
};

struct TRamFileItem {
  std::string Text;
  bool Checked = false;
};

// cbxRamdir: the drives offered and the one chosen (empty when none).
struct TRamDriveList {
  std::vector<std::string> Items;
  std::string Text;
};

// chklbxRamFiles: the stored files with their check marks.
struct TRamFileList {
  std::vector<TRamFileItem> Items;
  int ItemIndex = -1;
};

class TRamCardPage {
public:
  explicit TRamCardPage(TUiServices& Ui);

  TRamDriveList cbxRamdir;
  TRamFileList chklbxRamFiles;
  // The output directory: what edtOutFile shows and the settings keep.
  std::string RAMDirectory;
  // The reader of the drive last chosen; none before a drive is chosen.
  std::unique_ptr<TRamCard> RamCard;
  // The paths the last save wrote, in the order written.
  std::vector<std::string> SavedFiles;

  // Window hooks: show the display pane; move the focus to edtOutFile.
  std::function<void()> OnShowPane;
  std::function<void()> OnFocusOutFile;

  // Fills cbxRamdir with the mount points.
  void FillDrives(IMountPoints& Mounts);
  // The drive was chosen: new reader, open, validate, list. True when its
  // files are listed.
  bool cbxRamdirClick();
  // Creates the reader for the drive text, opens and validates its dump
  // (telling the user what failed); true when its entries can be walked.
  bool OpenDrive();
  void ListRamFiles();
  // Every stored file of the open dump with its size and whether its
  // checksum holds; nothing is shown to the user.
  std::vector<TRamDirectoryEntry> Directory();
  void btnBrowseDirClick(IFolderBrowser& Browser, const std::string& ProgramDir);
  bool CheckRamOutputDir();
  // True when at least one file was saved and none failed.
  bool SaveChosenRamFiles();
  // The page's part of the Save command; true when every checked file was
  // saved.
  bool RamCardSave();

private:
  void FocusOutFile();
  TUiServices& FUi;
};

// The extension of a stored or wanted name: from its last point on, or empty.
std::string RamNameExt(const std::string& Name);
// The save search's test of a stored name against a wanted one.
bool RamNameMatches(const std::string& EntryName, const std::string& Wanted);

} // namespace quorvin
