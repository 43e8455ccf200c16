// SPDX-License-Identifier: GPL-3.0-or-later
// What every fuzz target shares: a scratch folder of its own, the input
// written there as a file (the readers take paths), and UI services that keep
// nothing, so a long run does not grow.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/Application.h"
#include "core/ChartService.h"
#include "core/UiServices.h"

namespace quorvin::fuzz {

// Where scratch folders go: a memory file system when there is one. Every
// save makes its file durable before it replaces the old one, and on a disk
// that flush takes milliseconds, a hundred times the rest of an input's work.
inline std::filesystem::path ScratchRoot() {
  struct statfs Fs {};
  if (::statfs("/dev/shm", &Fs) == 0 && Fs.f_type == TMPFS_MAGIC &&
      ::access("/dev/shm", W_OK | X_OK) == 0)
    return "/dev/shm";
  return std::filesystem::temp_directory_path();
}

// A folder of this process under ScratchRoot, made on first use and emptied
// of everything a previous input left.
inline const std::string& Scratch() {
  // Never freed: the exit handler that removes the folder still needs it.
  static const std::string* const Dir = [] {
    auto* D =
        new std::string((ScratchRoot() / ("quorvin_fuzz_" + std::to_string(::getpid()))).string());
    std::filesystem::create_directories(*D);
    // The libraries' own temporary files (the workbook writer's sheets) go
    // there too.
    ::setenv("TMPDIR", D->c_str(), 1);
    ::setenv("TMP", D->c_str(), 1);
    std::atexit([] {
      std::error_code Ec;
      std::filesystem::remove_all(Scratch(), Ec);
    });
    return D;
  }();
  return *Dir;
}

inline void EmptyScratch() {
  DIR* Dir = ::opendir(Scratch().c_str());
  if (!Dir) return;
  while (const dirent* E = ::readdir(Dir)) {
    const std::string_view Name = E->d_name;
    if (Name == "." || Name == ".." || ::unlinkat(::dirfd(Dir), E->d_name, 0) == 0) continue;
    std::error_code Ec; // a folder
    std::filesystem::remove_all(Scratch() + "/" + E->d_name, Ec);
  }
  ::closedir(Dir);
}

// Writes the input as Name in an emptied scratch folder; answers its path.
inline std::string WriteInput(const std::string& Name, const std::uint8_t* Data, std::size_t Size) {
  EmptyScratch();
  const std::string Path = Scratch() + "/" + Name;
  const int Fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (Fd < 0) std::abort();
  for (std::size_t Done = 0; Done < Size;) {
    const ssize_t N = ::write(Fd, Data + Done, Size - Done);
    if (N <= 0) std::abort();
    Done += static_cast<std::size_t>(N);
  }
  ::close(Fd);
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
