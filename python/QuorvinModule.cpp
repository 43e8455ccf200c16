// SPDX-License-Identifier: GPL-3.0-or-later
// The Python module "quorvin": logs read by the program's own engines, their
// readings handed to NumPy without a copy. The log is chosen, checked and
// dated through the application as the window's log pages do; what the
// program would show in a dialog becomes the exception's text.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/LogReadings.h"
#include "python/QuietApp.h"

namespace quorvin::python {

py::handle LogErrorType;

namespace {

// A day given as "YYYY-MM-DD" or a datetime.date (or datetime).
std::optional<TDateTime> DayArgument(const py::object& Day, const char* Name) {
  if (Day.is_none()) return std::nullopt;
  py::object Date = Day;
  if (py::isinstance<py::str>(Day)) {
    try {
      Date = py::module_::import("datetime").attr("date").attr("fromisoformat")(Day);
    } catch (const py::error_already_set&) {
      throw py::value_error(std::string(Name) +
                            " takes a date as YYYY-MM-DD: " + Day.cast<std::string>());
    }
  }
  if (!py::hasattr(Date, "year") || !py::hasattr(Date, "month") || !py::hasattr(Date, "day"))
    throw py::type_error(std::string(Name) + " takes a date or a YYYY-MM-DD text");
  const int Y = Date.attr("year").cast<int>(), M = Date.attr("month").cast<int>(),
            D = Date.attr("day").cast<int>();
  if (!IsLogDate(Y, M, D))
    throw py::value_error(std::string(Name) + " takes a date from " + IsoDateText(FirstLogDay) +
                          " to " + IsoDateText(LastLogDay));
  return EncodeDate(Y, M, D);
}

// The times as datetime64[ns], the unit a pandas index keeps: from seconds,
// pandas would convert them through the calendar one by one. None when one
// lies beyond what nanoseconds hold (pandas then says so as it converts).
py::object NanosecondTimes(const py::array& Times) {
  constexpr std::int64_t PerSecond = 1'000'000'000;
  constexpr std::int64_t Limit = std::numeric_limits<std::int64_t>::max() / PerSecond - 1;
  const auto Rows = Times.size();
  const auto* Secs = static_cast<const std::int64_t*>(Times.data());
  py::array_t<std::int64_t> Nanos(Rows);
  std::int64_t* Out = Nanos.mutable_data();
  for (py::ssize_t R = 0; R < Rows; ++R) {
    if (Secs[R] > Limit || Secs[R] < -Limit) return py::none();
    Out[R] = Secs[R] * PerSecond;
  }
  return Nanos.attr("view")("datetime64[ns]");
}

struct TPySensor {
  std::string Name, ShortName, Units;
  double Slope = 0, Offset = 0;
  int RightDigits = 0;
};

struct TPyLog {
  std::string Path, Title, Zone;
  int Interval = 0;
  std::vector<TPySensor> Sensors;
  py::array Times;
  // Rows x sensors, each column contiguous; Columns are views of it.
  py::array Matrix;
  std::vector<py::array> Columns;

  py::object Column(const std::string& Name) const {
    for (std::size_t I = 0; I < Sensors.size(); ++I)
      if (SameText(Sensors[I].ShortName, Name) || SameText(Sensors[I].Name, Name))
        return Columns[I];
    throw py::key_error(Name);
  }

  py::object ToPandas() const {
    py::module_ Pandas = py::module_::import("pandas");
    const py::object Nanos = NanosecondTimes(Times);
    py::object Index = Nanos.is_none()
                           ? Pandas.attr("DatetimeIndex")(Times, py::arg("name") = "time")
                           : Pandas.attr("DatetimeIndex")(Nanos, py::arg("name") = "time",
                                                          py::arg("copy") = false);
    if (!Zone.empty()) {
      Index = Index.attr("tz_localize")("UTC");
      py::object ZoneInfo;
      if (Zone[0] == '+' || Zone[0] == '-') {
        py::module_ Datetime = py::module_::import("datetime");
        const int Sign = Zone[0] == '-' ? -1 : 1;
        const int Minutes =
            Sign * (std::stoi(Zone.substr(1, 2)) * 60 + std::stoi(Zone.substr(4, 2)));
        ZoneInfo =
            Datetime.attr("timezone")(Datetime.attr("timedelta")(py::arg("minutes") = Minutes));
      } else {
        ZoneInfo = py::module_::import("zoneinfo").attr("ZoneInfo")(Zone);
      }
      Index = Index.attr("tz_convert")(ZoneInfo);
    }
    py::list Labels;
    for (const TPySensor& S : Sensors) Labels.append(S.ShortName);
    // The readings' own block, not a copy: a column-major matrix is what a
    // DataFrame keeps.
    return Pandas.attr("DataFrame")(Matrix, py::arg("index") = Index, py::arg("columns") = Labels,
                                    py::arg("copy") = false);
  }
};

TPyLog ReadLog(const std::string& Path, const py::object& Start, const py::object& End,
               const py::object& Sensors, const py::object& Tz) {
  const std::optional<TDateTime> FirstDay = DayArgument(Start, "start");
  const std::optional<TDateTime> LastDay = DayArgument(End, "end");
  TClockZone Zone;
  std::string Error;
  const std::string ZoneName = Tz.is_none() ? std::string() : Tz.cast<std::string>();
  if (!Zone.Assign(ZoneName, Error)) throw py::value_error(Error);
  std::string List = "all";
  if (py::isinstance<py::str>(Sensors)) {
    List = Sensors.cast<std::string>(); // "all", "none" or a list as the batch tool takes it
  } else if (!Sensors.is_none()) {
    List.clear();
    for (py::handle Item : Sensors) {
      if (!List.empty()) List += ',';
      List += py::str(Item).cast<std::string>();
    }
    if (List.empty()) List = "none";
  }

  auto Quiet = std::make_unique<TQuietApp>();
  TApplication& App = Quiet->App;
  TLogSelection& Sel = App.Selection;
  TReadingColumns Read;
  {
    py::gil_scoped_release Free;
    App.PgCntrlLogChange(PageLogPrn);
    App.LogFileChange(PageLogPrn, Path);
    App.edtFilenameExit(PageLogPrn);
  }
  if (!Sel.LogLoaded()) RaiseLogError(Quiet->Problem());
  std::vector<bool> Check;
  std::string Unknown;
  if (!SensorsNamed(Sel, List, Check, Unknown))
    throw py::value_error("the log has no sensor " + Unknown);
  for (std::size_t I = 0; I < Check.size(); ++I) Sel.SensorChoices[I].Checked = Check[I];
  LogTime From, To;
  DayRange(FirstDay, LastDay, From, To);
  {
    py::gil_scoped_release Free;
    ReadCheckedReadings(Sel, From, To, Zone, Read);
  }
  const std::string Warning = Read.Tally.Warning(ZoneName);
  if (!Warning.empty() && PyErr_WarnEx(PyExc_UserWarning, Warning.c_str(), 1) != 0)
    throw py::error_already_set();

  TPyLog Log;
  Log.Path = Path;
  Log.Title = Read.Title;
  Log.Zone = ZoneName;
  Log.Interval = Sel.LogInterval;
  for (int Index : Read.Sensors) {
    const TSensorChoice& C = Sel.SensorChoices[std::size_t(Index - 1)];
    Log.Sensors.push_back(
        TPySensor{C.FullName, C.ShortName, C.Units, C.Slope, C.Offset, C.RightDigits});
  }
  const auto Rows = static_cast<py::ssize_t>(Read.Times.size());
  Log.Times = Adopt(std::move(Read.Times), py::dtype("datetime64[s]"));
  const auto Count = static_cast<py::ssize_t>(Read.Sensors.size());
  const auto Stride = static_cast<py::ssize_t>(Read.Capacity * sizeof(double));
  auto* Heap = new TValueBlock(std::move(Read.Values));
  py::capsule Owner(Heap, [](void* P) { delete static_cast<TValueBlock*>(P); });
  Log.Matrix = py::array(py::dtype::of<double>(), {Rows, Count},
                         {static_cast<py::ssize_t>(sizeof(double)), Stride}, Heap->data(), Owner);
  for (py::ssize_t I = 0; I < Count; ++I)
    Log.Columns.push_back(
        py::array(py::dtype::of<double>(), {Rows}, {static_cast<py::ssize_t>(sizeof(double))},
                  Heap->data() + I * static_cast<py::ssize_t>(Read.Capacity), Log.Matrix));
  return Log;
}

} // namespace

PYBIND11_MODULE(quorvin, Module) {
  Module.doc() = "Environmental logger files read by Quorvin's engines";
  LogErrorType = py::exception<std::runtime_error>(Module, "LogError").release();
  DefineRamCard(Module);
  DefineDdr(Module);

  py::class_<TPySensor>(Module, "Sensor")
      .def_readonly("name", &TPySensor::Name)
      .def_readonly("short_name", &TPySensor::ShortName)
      .def_readonly("units", &TPySensor::Units)
      .def_readonly("slope", &TPySensor::Slope)
      .def_readonly("offset", &TPySensor::Offset)
      .def_readonly("right_digits", &TPySensor::RightDigits)
      .def("__repr__", [](const TPySensor& S) {
        return "<quorvin.Sensor " + S.Name + (S.Units.empty() ? "" : " (" + S.Units + ")") + ">";
      });

  py::class_<TPyLog>(Module, "Log")
      .def_readonly("path", &TPyLog::Path)
      .def_readonly("title", &TPyLog::Title)
      .def_readonly("interval", &TPyLog::Interval, "The logging interval in seconds (0: none)")
      .def_readonly("sensors", &TPyLog::Sensors)
      .def_readonly("times", &TPyLog::Times,
                    "datetime64[s]: the clock time as recorded, or UTC when read with tz=")
      .def_readonly("columns", &TPyLog::Columns, "One float64 array per sensor, NaN: not recorded")
      .def_property_readonly("tz",
                             [](const TPyLog& L) -> py::object {
                               if (L.Zone.empty()) return py::none();
                               return py::str(L.Zone);
                             })
      .def("__getitem__", &TPyLog::Column)
      .def("__len__", [](const TPyLog& L) { return L.Times.size(); })
      .def("to_pandas", &TPyLog::ToPandas,
           "A pandas DataFrame of the readings indexed by time (in the zone when read with tz=)");

  Module.def("read_log", &ReadLog, py::arg("path"), py::kw_only(), py::arg("start") = py::none(),
             py::arg("end") = py::none(), py::arg("sensors") = py::none(),
             py::arg("tz") = py::none(),
             "Reads a binary (.LOG) or CSV log: the readings of the sensors named (all by "
             "default; names or positions from 1) from the start day to the end day");
}

} // namespace quorvin::python
