// SPDX-License-Identifier: GPL-3.0-or-later
// The RAM card reader through its page: validate, list (walk and verify
// every entry), then save every stored file into the scratch folder.
#include <cstdint>

#include "FuzzSupport.h"
#include "ramcard/RamCardPage.h"

using namespace quorvin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Path = fuzz::WriteInput("RAMCARD.RCD", Data, Size);
  fuzz::TNullUi Ui;
  TRamCardPage Page(Ui.Services);
  Page.cbxRamdir.Text = Path;
  Page.cbxRamdirClick();
  if (!Page.RamCard || Page.RamCard->FirstEntryPos() == 0) return 0;
  // Every listed name, and a wildcard that takes whatever is left.
  for (TRamFileItem& Item : Page.chklbxRamFiles.Items) Item.Checked = true;
  Page.chklbxRamFiles.Items.push_back({"*.*", true});
  Page.RAMDirectory = fuzz::Scratch() + "/out/";
  Page.RamCardSave();
  // Once more into the same folder: every name now needs a numbered variant.
  Page.RamCardSave();
  return 0;
}
