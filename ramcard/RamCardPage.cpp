// SPDX-License-Identifier: GPL-3.0-or-later
#include "ramcard/RamCardPage.h"

#include <filesystem>
#include <system_error>

#include "core/MiscUtil.h"

namespace quorvin {

namespace {

bool IsBlank(const std::string& Text) {
  for (unsigned char C : Text)
    if (C > ' ') return false;
  return true;
}

} // namespace

std::string RamNameExt(const std::string& Name) {
  std::size_t Dot = Name.rfind('.');
  return Dot == std::string::npos ? std::string() : Name.substr(Dot);
}

bool RamNameMatches(const std::string& EntryName, const std::string& Wanted) {
  return MatchMask(EntryName, Wanted) && MatchMask(RamNameExt(EntryName), RamNameExt(Wanted));
}

TRamCardPage::TRamCardPage(TUiServices& Ui) : FUi(Ui) {}

void TRamCardPage::FocusOutFile() {
  if (OnFocusOutFile) OnFocusOutFile();
}

void TRamCardPage::FillDrives(IMountPoints& Mounts) { cbxRamdir.Items = Mounts.MountPoints(); }

bool TRamCardPage::cbxRamdirClick() {
  if (OnShowPane) OnShowPane();
  if (cbxRamdir.Text.empty() || !OpenDrive()) return false;
  ListRamFiles();
  return true;
}

bool TRamCardPage::OpenDrive() {
  RamCard = std::make_unique<TRamCard>(FUi.Dialog);
  // The list belongs to the reader it was read from: a drive whose dump
  // cannot be read must not leave the previous drive's files to be "saved".
  chklbxRamFiles.Items.clear();
  chklbxRamFiles.ItemIndex = -1;
  // A mount point is a folder, which OpenDump completes with "/RAMCARD.RCD";
  // a dump or card-image file is opened as it is.
  RamCard->DumpFileName = cbxRamdir.Text;
  if (!RamCard->OpenDump()) {
    FUi.Dialog.Show(TMsgKind::Error, "Error! Ram Card Dump could not be found.", TMsgButtons::OK);
    return false;
  }
  return RamCard->ValidateDump();
}

void TRamCardPage::ListRamFiles() {
  chklbxRamFiles.Items.clear();
  chklbxRamFiles.ItemIndex = -1;
  if (!RamCard) return;
  while (RamCard->NextEntry()) {
    chklbxRamFiles.Items.push_back({RamCard->CurrentEntry().NameText(), false});
    if (!RamCard->VerifyEntry())
      FUi.Dialog.Show(TMsgKind::Warning, "Warning!  Checksum of data area failed.",
                      TMsgButtons::OK);
  }
  if (!chklbxRamFiles.Items.empty()) chklbxRamFiles.ItemIndex = 0;
}

std::vector<TRamDirectoryEntry> TRamCardPage::Directory() {
  std::vector<TRamDirectoryEntry> Entries;
  if (!RamCard) return Entries;
  RamCard->RewindEntries();
  while (RamCard->NextEntry()) {
    const bool Ok = RamCard->VerifyEntry();
    Entries.push_back(
        {RamCard->CurrentEntry().NameText(), RamCard->CurrentEntry().DataLength(), Ok});
  }
  RamCard->RewindEntries();
  return Entries;
}

void TRamCardPage::btnBrowseDirClick(IFolderBrowser& Browser, const std::string& ProgramDir) {
  std::string Chosen;
  if (Browser.Browse(IsBlank(RAMDirectory) ? ProgramDir : RAMDirectory, Chosen)) {
    RAMDirectory = JoinRamPath(Chosen, "");
  }
  FocusOutFile();
}

bool TRamCardPage::CheckRamOutputDir() {
  if (RAMDirectory.empty()) return false;
  std::error_code Ec;
  if (!std::filesystem::is_directory(RAMDirectory, Ec)) {
    if (FUi.Dialog.Show(TMsgKind::Information,
                        "File Path does not exist. Do you wish to create it?",
                        TMsgButtons::YesNo) == TMsgResult::Yes)
      std::filesystem::create_directories(RAMDirectory, Ec);
  }
  // After No the copy is still attempted; each file then fails.
  return true;
}

bool TRamCardPage::SaveChosenRamFiles() {
  std::string Failed, Successful;
  int Failures = 0, Saved = 0;
  // Where the next checked item's search begins: just past the entry the
  // last saved item came from. A search that found nothing does not move
  // it, so one missing or damaged file does not hide the files after it.
  std::int64_t ResumePos = 0;
  SavedFiles.clear();

  // Names are shown escaped: a stored name may hold control characters.
  auto Fail = [&](const std::string& Name) {
    ++Failures;
    Failed = AppendField(Failed, ", ", PrintableEntryName(Name));
  };

  for (const TRamFileItem& Item : chklbxRamFiles.Items) {
    if (!Item.Checked) continue;
    const std::string Wanted = Item.Text.empty() ? "*.*" : Item.Text;
    bool ItemSaved = false, ItemFailed = false;
    if (RamCard) {
      if (ResumePos > 0)
        RamCard->ResumeEntriesAt(ResumePos);
      else
        RamCard->RewindEntries();
      while (RamCard->NextEntry()) {
        const std::string Name = RamCard->CurrentEntry().NameText();
        if (!RamNameMatches(Name, Wanted) || !RamCard->VerifyEntry()) continue;
        if (!IsSafeEntryName(Name)) {
          // A stored name is not a path: never let it lead out of the folder,
          // nor put a control character into a file name.
          Fail(Name);
          ItemFailed = true;
          continue;
        }
        const std::string Unique = RamCard->UniqueEntryName(RAMDirectory);
        if (Unique.empty() || !IsSafeEntryName(Unique)) {
          Fail(Name);
          ItemFailed = true;
          continue;
        }
        const std::string Path = JoinRamPath(RAMDirectory, Unique);
        if (RamCard->SaveEntry(Path, &FUi.Busy)) {
          SavedFiles.push_back(Path);
          Successful = AppendField(Successful, ", ", PrintableEntryName(Unique));
          ++Saved;
          ItemSaved = true;
          ResumePos = RamCard->NextEntryPos();
          break;
        }
        Fail(Unique);
        ItemFailed = true;
        if (RamCard->Cancelled()) break;
      }
    }
    if (!ItemSaved && !ItemFailed) Fail(Wanted);
    // The user stopped the copy: the file being copied is not written and
    // the files after it are not tried.
    if (RamCard && RamCard->Cancelled()) break;
  }

  std::string Status;
  if (Saved == 0)
    Status = "Warning! Unable to save files.";
  else if (Failures == 0)
    Status = "Saved successfully: " + Successful;
  else
    Status = "Warning! Save: Failed: " + Failed + "; Successful: " + Successful;
  FUi.Status.SetPanelText(1, Status);
  return Saved > 0 && Failures == 0;
}

bool TRamCardPage::RamCardSave() {
  SavedFiles.clear();
  if (cbxRamdir.Text.empty() || !RamCard) {
    FUi.Status.SetPanelText(1, "Error!  Please select a valid RAM drive.");
    return false;
  }
  RamCard->RewindEntries();
  if (CheckRamOutputDir()) return SaveChosenRamFiles();
  FUi.Status.SetPanelText(1, "Please select a valid output directory.");
  FocusOutFile();
  return false;
}

} // namespace quorvin
