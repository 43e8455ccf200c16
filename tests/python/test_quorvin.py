# SPDX-License-Identifier: GPL-3.0-or-later
"""The Python module against the batch tool's exports of the same logs."""
import csv
import math
import os
import pathlib
import re
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
    def ram_card(path):
        card = quorvin.RamCard(path)
        card.files()
        card.extract("*", tmp_path / "out")
        return card

    readers = {".LOG": quorvin.read_log, ".CSV": quorvin.read_log, ".DDR": quorvin.read_ddr,
               ".RCD": ram_card}
    for n, source in enumerate(inputs):
        for ext, read in readers.items():
            path = tmp_path / f"in{n}{ext}"
            shutil.copyfile(source, path)
            try:
                log = read(str(path))
                assert all(len(c) == len(log) for c in getattr(log, "columns", []))
            except quorvin.LogError as e:
                assert str(e)
            path.unlink()


def cli(*args):
    return subprocess.run([CLI, *args], check=True, capture_output=True, text=True).stdout


def test_a_ddr_reads_as_its_text_shows_it(tmp_path):
    ddr = quorvin.read_ddr(EXAMPLES / "SAMPLE.DDR")
    text = cli("ddr", str(EXAMPLES / "SAMPLE.DDR")).splitlines()
    assert f"Unit ID: {ddr.unit_id.upper()}" in text and f"Version: {ddr.version}" in text
    assert ddr.times.dtype == np.dtype("datetime64[s]") and len(ddr.bad) == len(ddr)
    scans = []
    for line in text:
        fields = [f for f in line.split() if f != "?"]
        if len(fields) == 2 + len(ddr.sensors) and all(re.fullmatch(r"[-\d.]+", f) for f in fields):
            scans.append(fields)
    assert len(scans) == len(ddr)
    for row, fields in enumerate(scans):
        stamp = f"20{fields[0][4:]}-{fields[0][:2]}-{fields[0][2:4]}T{fields[1][:2]}:{fields[1][2:]}"
        assert str(ddr.times[row])[:16] == stamp
        for sensor, column, shown in zip(ddr.sensors, ddr.columns, fields[2:]):
            ours = column[row]
            assert (shown == "-.-") if math.isnan(ours) else (f"{ours:.{sensor.right_digits}f}" == shown)
    # The flagged scans are those of the Bad Data block the summary lists.
    bad = [line.split() for line in cli("ddr", "--summary", str(EXAMPLES / "SAMPLE.DDR")).splitlines()
           if "Bad Data" in line][0]
    start, stop = (np.datetime64(f"20{d[4:]}-{d[:2]}-{d[2:4]}T{t[:2]}:{t[2:]}")
                   for d, t in ((bad[0], bad[1]), (bad[2], bad[3])))
    assert ddr.bad.any() and np.array_equal(ddr.bad, (ddr.times >= start) & (ddr.times <= stop))
    note = [line for line in text if "Site visit" in line][0]
    assert [n[1] for n in ddr.notes] == [note[12:]]
    frame = ddr.to_pandas()
    assert list(frame.columns) == [s.name for s in ddr.sensors] + ["bad"]
    bad_file = tmp_path / "short.ddr"
    bad_file.write_bytes((EXAMPLES / "SAMPLE.DDR").read_bytes()[:700])
    with pytest.raises(quorvin.LogError, match="Error! Unexpected end of DDR file."):
        quorvin.read_ddr(bad_file)


def test_a_ram_card_lists_and_extracts_as_the_tool_does(tmp_path):
    card = quorvin.RamCard(EXAMPLES / "RAMCARD.RCD")
    listed = cli("ramcard", str(EXAMPLES / "RAMCARD.RCD"), "list").splitlines()
    assert [f"{f.name}\t{f.size}\t{'ok' if f.checksum_ok else 'bad checksum'}"
            for f in card.files()] == listed
    names = [f.name for f in card.files()]
    saved = tmp_path / "tool"
    saved.mkdir()
    cli("ramcard", str(EXAMPLES / "RAMCARD.RCD"), "save", *names, "--out", str(saved))
    written = card.extract(names, tmp_path / "ours")
    assert [pathlib.Path(p).name for p in written] == sorted(names, key=names.index)
    assert all(pathlib.Path(p).read_bytes() == (saved / pathlib.Path(p).name).read_bytes()
               for p in written)
    # A second copy gets a name of its own; a name stored nowhere fails.
    again = card.extract("SITE1.*", tmp_path / "ours")
    assert len(again) == 1 and again[0] not in written
    with pytest.raises(quorvin.RamCardError, match="Warning! Save: Failed: NOPE.X") as failed:
        card.extract(["README.TXT", "NOPE.X"], tmp_path / "more")
    assert isinstance(failed.value, quorvin.LogError) and len(failed.value.paths) == 1
