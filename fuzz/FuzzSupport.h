// SPDX-License-Identifier: GPL-3.0-or-later
// What every fuzz target shares: a scratch folder of its own, the input
// written there as a file (the readers take paths), and UI services that keep
// nothing, so a long run does not grow.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/Application.h"
#include "core/ChartService.h"
#include "core/UiServices.h"

namespace quorvin::fuzz {

// A folder of this process under the temporary folder, made on first use and
// emptied of everything a previous input left.
inline const std::string& Scratch() {
  // Never freed: the exit handler that removes the folder still needs it.
  static const std::string* const Dir = [] {
    auto* D = new std::string(
        (std::filesystem::temp_directory_path() / ("quorvin_fuzz_" + std::to_string(::getpid())))
            .string());
    std::filesystem::create_directories(*D);
    std::atexit([] {
      std::error_code Ec;
      std::filesystem::remove_all(Scratch(), Ec);
    });
    return D;
  }();
  return *Dir;
}

inline void EmptyScratch() {
  std::error_code Ec;
  for (const auto& E : std::filesystem::directory_iterator(Scratch(), Ec))
    std::filesystem::remove_all(E.path(), Ec);
}

// Writes the input as Name in an emptied scratch folder; answers its path.
inline std::string WriteInput(const std::string& Name, const std::uint8_t* Data, std::size_t Size) {
  EmptyScratch();
  const std::string Path = Scratch() + "/" + Name;
  std::ofstream(Path, std::ios::binary)
      .write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
  return Path;
}

class TNoMounts : public IMountPoints {
public:
  std::vector<std::string> MountPoints() override { return {}; }
};

// Dialogs answered No (so nothing is created on a question), a status bar
// that keeps only the last texts, a pane that counts what it is given.
class TNullUi : public IMessageDialog, public IStatusBar, public ITextPane {
public:
  using IMessageDialog::Show;
  TMsgResult Show(TMsgKind, const std::string& Text, TMsgButtons Buttons,
                  const std::string&) override {
    Bytes += Text.size();
    return Buttons == TMsgButtons::OK ? TMsgResult::OK : TMsgResult::No;
  }
  void SetPanelText(int Panel, const std::string& Text) override {
    if (Panel == 0 || Panel == 1) Panels[Panel] = Text;
  }
  std::string PanelText(int Panel) const override {
    return (Panel == 0 || Panel == 1) ? Panels[Panel] : std::string();
  }
  void Clear() override {}
  void AppendLine(std::string_view Line) override { Bytes += Line.size() + 1; }
  void SetBold(bool) override {}
  void SetPointSize(int) override {}

  TNoBusyCursor Busy;
  TUiServices Services{*this, *this, *this, Busy};
  std::string Panels[2];
  std::size_t Bytes = 0;
};

// An application whose services show, print and choose nothing.
struct TNullApp {
  TNullUi Ui;
  TNoChart Chart;
  TNoFileDialog FileDialog;
  TNoFolderBrowser FolderBrowser;
  TNoPrinter Printer;
  TNoHelpViewer Help;
  TNoMounts Mounts;
  TAppServices Services{Ui,      Ui,   Ui,    Ui.Busy, Chart, FileDialog, FolderBrowser,
                        Printer, Help, Mounts};
  TApplication App{Services};
};

} // namespace quorvin::fuzz
