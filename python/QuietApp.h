// SPDX-License-Identifier: GPL-3.0-or-later
// What the module's readers share: the application without a screen, whose
// first error message becomes the exception's text, and the arguments and
// arrays every reader takes and gives.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/Application.h"
#include "core/ChartService.h"
#include "core/IniFile.h"

namespace quorvin::python {

namespace py = pybind11;

// The first error the program would have shown, for the exception.
class TRecordingDialog : public IMessageDialog {
public:
  TMsgResult Show(TMsgKind Kind, const std::string& Text, TMsgButtons Buttons,
                  const std::string& Detail) override {
    if (Kind == TMsgKind::Error && FirstError.empty())
      FirstError = Detail.empty() ? Text : Text + " (" + Detail + ")";
    // A long pass over a mostly empty grid is what the caller asked for.
    return Buttons == TMsgButtons::OK ? TMsgResult::OK : TMsgResult::Yes;
  }
  std::string FirstError;
};

class TKeptStatus : public IStatusBar {
public:
  void SetPanelText(int Panel, const std::string& Text) override {
    if (Panel == 1) Message = Text;
  }
  std::string PanelText(int Panel) const override { return Panel == 1 ? Message : ""; }
  std::string Message;
};

class TNoPane : public ITextPane {
public:
  void Clear() override {}
  void AppendLine(std::string_view) override {}
  void SetBold(bool) override {}
  void SetPointSize(int) override {}
};

// An application without a screen and with every option at its default.
struct TQuietApp {
  TRecordingDialog Dialog;
  TKeptStatus Status;
  TNoPane Pane;
  TNoBusyCursor Busy;
  TNoChart Chart;
  TNoFileDialog FileDialog;
  TNoFolderBrowser FolderBrowser;
  TNoPrinter Printer;
  TNoHelpViewer Help;
  std::unique_ptr<IMountPoints> Mounts = SystemMountPoints();
  TAppServices Services{Dialog,     Status,        Pane,    Busy, Chart,
                        FileDialog, FolderBrowser, Printer, Help, *Mounts};
  TApplication App{Services};

  TQuietApp() {
    TIniFile Defaults("");
    App.FormCreate(Defaults);
  }
  std::string Problem() const {
    return !Dialog.FirstError.empty() ? Dialog.FirstError : Status.Message;
  }
};

// quorvin.LogError, owned by the module.
extern py::handle LogErrorType;

[[noreturn]] inline void RaiseLogError(const std::string& Text) {
  PyErr_SetString(LogErrorType.ptr(), Text.c_str());
  throw py::error_already_set();
}

// A vector's storage handed to NumPy, which frees it with the array.
template <class T>
py::array Adopt(std::vector<T>&& Data, const py::dtype& Type) {
  auto* Heap = new std::vector<T>(std::move(Data));
  py::capsule Owner(Heap, [](void* P) { delete static_cast<std::vector<T>*>(P); });
  const auto Size = static_cast<py::ssize_t>(Heap->size());
  return py::array(Type, {Size}, {static_cast<py::ssize_t>(sizeof(T))}, Heap->data(), Owner);
}

// A path or a name given as a text, bytes or any os.PathLike: its bytes as
// the system's file calls take them.
inline std::string PathArgument(const py::handle& Path) {
  return py::module_::import("os").attr("fsencode")(Path).cast<std::string>();
}

// Bytes from a file, a stored name, say, as Python shows a file name: bytes
// that are not UTF-8 kept as surrogates, so the text gives the bytes back.
inline py::str FileNameText(const std::string& Bytes) {
  return py::module_::import("os").attr("fsdecode")(py::bytes(Bytes));
}

// The readers' parts of the module.
void DefineRamCard(py::module_& Module);
void DefineDdr(py::module_& Module);

} // namespace quorvin::python
