// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin.read_ddr: a recorder's DDR file decoded by the DDRLOG page's own
// walk, its scans handed to NumPy as numbers, each the value its text shows.
#include <pybind11/stl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/Captions.h"
#include "core/ClockZone.h"
#include "python/QuietApp.h"

namespace quorvin::python {

namespace {

struct TPyDdrSensor {
  py::str Name, Units;
  int RightDigits = 0;
};

struct TPyDdr {
  py::str Path, UnitID, Version;
  std::vector<TPyDdrSensor> Sensors;
  py::array Times, Bad;
  // Rows x sensors, each column contiguous; Columns are views of it.
  py::array Matrix;
  std::vector<py::array> Columns;
  py::list Notes, Events;

  py::object Column(const std::string& Name) const {
    for (std::size_t I = 0; I < Sensors.size(); ++I)
      if (SameText(Sensors[I].Name.cast<std::string>(), Name)) return Columns[I];
    throw py::key_error(Name);
  }

  py::object ToPandas() const {
    py::module_ Pandas = py::module_::import("pandas");
    py::object Index = Pandas.attr("DatetimeIndex")(Times, py::arg("name") = "time");
    py::list Labels;
    for (const TPyDdrSensor& S : Sensors) Labels.append(S.Name);
    py::object Frame = Pandas.attr("DataFrame")(
        Matrix, py::arg("index") = Index, py::arg("columns") = Labels, py::arg("copy") = false);
    Frame.attr("insert")(Sensors.size(), "bad", Bad, py::arg("allow_duplicates") = true);
    return Frame;
  }
};

// Text from the recorder, which need not be UTF-8: what is not shows as
// U+FFFD.
py::str RecorderText(const std::string& Bytes) {
  PyObject* Text =
      PyUnicode_DecodeUTF8(Bytes.data(), static_cast<py::ssize_t>(Bytes.size()), "replace");
  if (!Text) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(Text);
}

py::list Marks(const std::vector<TDDRMark>& From) {
  py::object Stamp = py::module_::import("numpy").attr("datetime64");
  py::list List;
  for (const TDDRMark& M : From)
    List.append(py::make_tuple(Stamp(LogTimeUnixEpoch + M.Time, "s"), RecorderText(M.Text)));
  return List;
}

TPyDdr ToPython(const std::string& Path, TDDRScanTable& Table) {
  TPyDdr Ddr;
  Ddr.Path = FileNameText(Path);
  Ddr.UnitID = RecorderText(Table.UnitID);
  Ddr.Version = RecorderText(Table.Version);
  for (const TDDRScanColumn& C : Table.Columns)
    Ddr.Sensors.push_back({RecorderText(C.Name), RecorderText(C.Units), C.RightDigits});
  const std::size_t Rows = Table.Times.size();
  for (std::int64_t& T : Table.Times) T += LogTimeUnixEpoch;
  Ddr.Times = Adopt(std::move(Table.Times), py::dtype("datetime64[s]"));
  Ddr.Bad = Adopt(std::move(Table.Bad), py::dtype("bool"));
  // The columns into one block, the only copy made.
  const auto R = static_cast<py::ssize_t>(Rows), N = static_cast<py::ssize_t>(Ddr.Sensors.size());
  const auto Step = static_cast<py::ssize_t>(sizeof(double));
  Ddr.Matrix = py::array(py::dtype::of<double>(), {R, N}, {Step, R * Step});
  auto* Block = static_cast<double*>(Ddr.Matrix.mutable_data());
  for (py::ssize_t I = 0; I < N; ++I) {
    std::vector<double>& Values = Table.Columns[static_cast<std::size_t>(I)].Values;
    std::copy(Values.begin(), Values.end(), Block + I * R);
    std::vector<double>().swap(Values);
    Ddr.Columns.push_back(
        py::array(py::dtype::of<double>(), {R}, {Step}, Block + I * R, Ddr.Matrix));
  }
  Ddr.Notes = Marks(Table.Notes);
  Ddr.Events = Marks(Table.Events);
  return Ddr;
}

TPyDdr ReadDdr(const py::object& PathObject) {
  const std::string Path = PathArgument(PathObject);
  auto Quiet = std::make_unique<TQuietApp>();
  TApplication& App = Quiet->App;
  TDDRScanTable Table;
  bool Read = false;
  {
    py::gil_scoped_release Free;
    App.PgCntrlLogChange(PageDDRLog);
    App.LogFileChange(PageDDRLog, Path);
    App.edtFilenameExit(PageDDRLog);
    if (App.Selection.FileValid)
      Read = App.DDRPage.ReadDDRScans(Table, captions::MsgUnableToDisplay);
  }
  if (!App.Selection.FileValid) RaiseLogError(Quiet->Problem());
  if (!Read) RaiseLogError(Quiet->Problem());
  return ToPython(Path, Table);
}

} // namespace

void DefineDdr(py::module_& Module) {
  py::class_<TPyDdrSensor>(Module, "DdrSensor")
      .def_readonly("name", &TPyDdrSensor::Name)
      .def_readonly("units", &TPyDdrSensor::Units)
      .def_readonly("right_digits", &TPyDdrSensor::RightDigits)
      .def("__repr__", [](const TPyDdrSensor& S) {
        return py::str("<quorvin.DdrSensor {} ({})>").format(S.Name, S.Units);
      });

  py::class_<TPyDdr>(Module, "Ddr")
      .def_readonly("path", &TPyDdr::Path)
      .def_readonly("unit_id", &TPyDdr::UnitID, "The unit id of the last Master block")
      .def_readonly("version", &TPyDdr::Version, "The firmware version of the last Master block")
      .def_readonly("sensors", &TPyDdr::Sensors,
                    "One per column: a sensor of several setups keeps one column")
      .def_readonly("times", &TPyDdr::Times, "datetime64[s]: each scan's clock time as recorded")
      .def_readonly("bad", &TPyDdr::Bad, "bool: the scan comes from a Bad Data block")
      .def_readonly("columns", &TPyDdr::Columns,
                    "One float64 array per sensor, NaN: missing, or not in that scan's setup")
      .def_readonly("notes", &TPyDdr::Notes, "(datetime64, text) of every Log Note block")
      .def_readonly("events", &TPyDdr::Events,
                    "(datetime64, status name) of every other block the text lists by time")
      .def("__getitem__", &TPyDdr::Column)
      .def("__len__", [](const TPyDdr& D) { return D.Times.size(); })
      .def("to_pandas", &TPyDdr::ToPandas,
           "A pandas DataFrame of the scans indexed by time, the column bad last");

  Module.def("read_ddr", &ReadDdr, py::arg("path"),
             "Reads a recorder's DDR file: its master block, sensors, scans, notes and events");
}

} // namespace quorvin::python
