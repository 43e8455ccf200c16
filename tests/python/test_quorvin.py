# SPDX-License-Identifier: GPL-3.0-or-later
"""The Python module against the batch tool's exports of the same logs."""
import csv
import math
import os
import pathlib
import shutil
import subprocess

import numpy as np
import pytest

import quorvin

EXAMPLES = pathlib.Path(os.environ.get("QUORVIN_EXAMPLES", "examples"))
CLI = os.environ.get("QUORVIN_CLI", "quorvin-cli")


def export(tmp_path, log, *args):
    ini = tmp_path / "none.ini"
    ini.write_text("")
    out = tmp_path / ("out.nc" if "netcdf" in args else "out.csv")
    subprocess.run([CLI, "--ini", str(ini), "export", str(log), *args, "--output", str(out)],
                   check=True, capture_output=True)
    return out


def test_a_log_reads_as_the_csv_export_writes_it(tmp_path):
    log = quorvin.read_log(str(EXAMPLES / "SITE1.LOG"))
    assert log.times.dtype == np.dtype("datetime64[s]")
    assert all(c.dtype == np.float64 and len(c) == len(log) for c in log.columns)
    with open(export(tmp_path, EXAMPLES / "SITE1.LOG", "--format", "csv"), newline="") as f:
        rows = list(csv.reader(f))
    assert rows[0] == ["time"] + [s.short_name for s in log.sensors]
    assert [r[0] for r in rows[1:]] == [str(t) for t in log.times]
    for i, sensor in enumerate(log.sensors):
        text = [r[i + 1] for r in rows[1:]]
        ours = [("" if math.isnan(v) else f"{v:.{sensor.right_digits}f}") for v in log.columns[i]]
        assert ours == text, sensor.name
    frame = log.to_pandas()
    assert frame.shape == (len(log), len(log.sensors))
    assert frame.index.name == "time"


def test_netcdf_times_are_utc_and_values_match(tmp_path):
    netcdf = pytest.importorskip("netCDF4")
    path = export(tmp_path, EXAMPLES / "site2.csv", "--format", "netcdf", "--tz", "Europe/Berlin")
    log = quorvin.read_log(str(EXAMPLES / "site2.csv"), tz="Europe/Berlin")
    with netcdf.Dataset(path) as ds:
        assert ds.title and ds.source == "site2.csv"
        assert ds["time"].units == "seconds since 1970-01-01 00:00:00 UTC"
        assert list(ds["time"][:]) == list(log.times.astype("int64"))
        for i, sensor in enumerate(log.sensors):
            var = ds.variables[[v for v in ds.variables if v != "time"][i]]
            assert var.long_name == sensor.name and var.units == sensor.units
            assert np.array_equal(np.ma.filled(var[:], np.nan), log.columns[i], equal_nan=True)
    assert str(log.to_pandas().index.tz) == "Europe/Berlin"


def test_selection_as_the_log_pages_make_it():
    whole = quorvin.read_log(str(EXAMPLES / "site2.csv"))
    one = quorvin.read_log(str(EXAMPLES / "site2.csv"), sensors=["precip"],
                           start="2024-07-02", end="2024-07-02")
    assert [s.name for s in one.sensors] == ["PRECIP"]
    assert str(one.times[0]) == "2024-07-02T00:00:00" and str(one.times[-1]) < "2024-07-03"
    column = whole["PRECIP"][(whole.times >= one.times[0]) & (whole.times <= one.times[-1])]
    assert np.array_equal(column[~np.isnan(column)], one["PRECIP"][~np.isnan(one["PRECIP"])])


def test_an_hour_shown_twice_is_placed_at_the_earlier_offset(tmp_path):
    path = tmp_path / "fall.csv"
    path.write_text("11/03/2024,01:30:00,AIRTEMP,4.5,C,G\r\n11/03/2024,02:30:00,AIRTEMP,4.0,C,G\r\n")
    with pytest.warns(UserWarning, match="placed at the earlier offset, -06:00"):
        log = quorvin.read_log(str(path), tz="America/Denver")
    assert [str(t) for t in log.times] == ["2024-11-03T07:30:00", "2024-11-03T09:30:00"]


def test_errors_carry_the_programs_messages(tmp_path):
    bad = tmp_path / "bad.log"
    bad.write_bytes(b"\0" * 10)
    with pytest.raises(quorvin.LogError, match="Unble to open file or read header.  Check file format."):
        quorvin.read_log(str(bad))
    with pytest.raises(ValueError, match="not a time zone"):
        quorvin.read_log(str(EXAMPLES / "SITE1.LOG"), tz="Mars/Olympus")
    with pytest.raises(ValueError, match="the log has no sensor NOPE"):
        quorvin.read_log(str(EXAMPLES / "SITE1.LOG"), sensors=["NOPE"])


def test_fuzz_inputs_raise_or_read_never_crash(tmp_path):
    subprocess.run([os.environ["QUORVIN_SEEDS"], str(tmp_path / "seeds")], check=True,
                   capture_output=True)
    inputs = list((tmp_path / "seeds").rglob("seed-*"))
    corpus = pathlib.Path(os.environ.get("QUORVIN_CORPUS", "-"))
    if corpus.is_dir():
        inputs += [p for p in corpus.rglob("*") if p.is_file()][:2000]
    assert inputs
    for n, source in enumerate(inputs):
        for ext in (".LOG", ".CSV"):
            path = tmp_path / f"in{n}{ext}"
            shutil.copyfile(source, path)
            try:
                log = quorvin.read_log(str(path))
                assert all(len(c) == len(log) for c in log.columns)
            except quorvin.LogError as e:
                assert str(e)
            path.unlink()
