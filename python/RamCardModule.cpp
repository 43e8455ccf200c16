// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin.RamCard: a RAM-card dump listed and its files copied out through
// the RAMCARD page, as the window and the batch tool drive it, so stored
// names, unique names, checksums and complete copies follow the one rule.
#include <pybind11/stl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "python/QuietApp.h"

namespace quorvin::python {

namespace {

// quorvin.RamCardError, a quorvin.LogError.
py::handle RamCardErrorType;

// The exception with the files written before the failure as its paths.
[[noreturn]] void RaiseRamCardError(const std::string& Text,
                                    const std::vector<std::string>& Written) {
  py::object Error = py::reinterpret_borrow<py::object>(RamCardErrorType)(Text);
  py::list Paths;
  for (const std::string& Path : Written) Paths.append(FileNameText(Path));
  Error.attr("paths") = Paths;
  PyErr_SetObject(RamCardErrorType.ptr(), Error.ptr());
  throw py::error_already_set();
}

struct TPyRamFile {
  py::str Name;
  std::int64_t Size = 0;
  bool ChecksumOk = false;
};

class TPyRamCard {
public:
  explicit TPyRamCard(const py::object& Path) : FPath(PathArgument(Path)) { Open(); }

  py::str Path() const { return FileNameText(FPath); }

  std::vector<TPyRamFile> Files() const {
    std::unique_ptr<TQuietApp> Quiet = Open();
    std::vector<TRamDirectoryEntry> Entries;
    {
      py::gil_scoped_release Free;
      Entries = Quiet->App.RamCardPage.Directory();
    }
    std::vector<TPyRamFile> Files;
    for (const TRamDirectoryEntry& E : Entries)
      Files.push_back(TPyRamFile{FileNameText(E.Name), E.Size, E.ChecksumOk});
    return Files;
  }

  // The page's Save with the names as its checked items.
  py::list Extract(const py::object& Names, const py::object& Folder) const {
    std::vector<std::string> Wanted;
    if (py::isinstance<py::str>(Names) || py::isinstance<py::bytes>(Names))
      Wanted.push_back(PathArgument(Names));
    else
      for (py::handle Name : Names) Wanted.push_back(PathArgument(Name));
    if (Wanted.empty()) throw py::value_error("extract needs at least one name");
    const std::string Into = PathArgument(Folder);

    auto Quiet = std::make_unique<TQuietApp>();
    TApplication& App = Quiet->App;
    TRamCardPage& Page = App.RamCardPage;
    TCommandOutcome Outcome;
    {
      py::gil_scoped_release Free;
      App.PgCntrlLogChange(PageRamCard);
      Page.RAMDirectory = Into;
      App.cbxRamdirClick(FPath);
      if (Page.RamCard && Page.RamCard->FirstEntryPos() != 0) {
        Page.chklbxRamFiles.Items.clear();
        for (const std::string& Name : Wanted) Page.chklbxRamFiles.Items.push_back({Name, true});
        Outcome = App.FileSaveExecute();
      } else {
        Outcome.Succeeded = false;
      }
    }
    if (!Outcome.Succeeded)
      RaiseRamCardError(Quiet->Status.Message.empty() ? Quiet->Problem() : Quiet->Status.Message,
                        Page.SavedFiles);
    py::list Written;
    for (const std::string& Path : Page.SavedFiles) Written.append(FileNameText(Path));
    return Written;
  }

private:
  // The page with the dump chosen and its header checked, as the list
  // command opens it.
  std::unique_ptr<TQuietApp> Open() const {
    auto Quiet = std::make_unique<TQuietApp>();
    TRamCardPage& Page = Quiet->App.RamCardPage;
    bool Opened = false;
    {
      py::gil_scoped_release Free;
      Quiet->App.PgCntrlLogChange(PageRamCard);
      Page.cbxRamdir.Text = FPath;
      Opened = !FPath.empty() && Page.OpenDrive();
    }
    if (!Opened) RaiseRamCardError(Quiet->Problem(), {});
    return Quiet;
  }

  std::string FPath;
};

} // namespace

void DefineRamCard(py::module_& Module) {
  RamCardErrorType =
      py::exception<std::runtime_error>(Module, "RamCardError", LogErrorType).release();

  py::class_<TPyRamFile>(Module, "RamFile")
      .def_readonly("name", &TPyRamFile::Name)
      .def_readonly("size", &TPyRamFile::Size, "The stored file's length in bytes")
      .def_readonly("checksum_ok", &TPyRamFile::ChecksumOk)
      .def("__repr__", [](const TPyRamFile& F) {
        return "<quorvin.RamFile " + py::repr(F.Name).cast<std::string>() + " " +
               std::to_string(F.Size) + (F.ChecksumOk ? " ok>" : " bad checksum>");
      });

  py::class_<TPyRamCard>(Module, "RamCard")
      .def(py::init<const py::object&>(), py::arg("path"),
           "Opens a RAM-card dump or card image, or the dump RAMCARD.RCD in a folder")
      .def_property_readonly("path", &TPyRamCard::Path)
      .def("files", &TPyRamCard::Files,
           "Every stored file: its name, its size and whether its checksum holds")
      .def("extract", &TPyRamCard::Extract, py::arg("names"), py::arg("folder"),
           "Copies the files named (* matches any rest, ? one character) into folder, "
           "under a name not yet used there, and gives the paths written; files whose "
           "checksum fails are not copied");
}

} // namespace quorvin::python
