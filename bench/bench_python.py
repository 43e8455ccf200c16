#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The Python module against pandas, side by side in one run: the 16-sensor x
1,000,000-record binary log (the log of bench_export) into a DataFrame
indexed by time, by quorvin.read_log(...).to_pandas() and by pandas parsing
the .PRN that quorvin-cli prn makes of the same log.

    bench_python.py QUORVIN_CLI [FOLDER]

The module is found on PYTHONPATH (the build's python/ folder). Prints the
best of three runs of each and the ratio.
"""
import os
import struct
import subprocess
import sys
import tempfile
import time

import numpy as np
import pandas as pd

import quorvin

SENSORS, RECORDS = 16, 1_000_000


def write_log(path):
    head = bytearray(54)
    head[2:7] = b"BENCH"
    for at, value in ((10, 1999), (12, 1), (14, 1), (24, 1), (28, 2 * SENSORS), (52, SENSORS)):
        struct.pack_into("<H", head, at, value)
    for s in range(SENSORS):
        d = bytearray(28)
        name = f"SENSOR{s + 1}".encode()
        d[:len(name)] = name
        struct.pack_into("<ddH", d, 10, 1.0, 0.0, s % 4)
        head += d
    # The same generator as bench_export: values of several widths, a few
    # not recorded.
    x = np.empty(RECORDS * SENSORS, dtype=np.uint64)
    state = 12345
    mult, inc, mask = 1103515245, 12345, 0xFFFFFFFF
    # Jump the linear congruential generator in blocks with NumPy.
    block = 1 << 16
    a_pow = np.empty(block, dtype=np.uint64)
    c_sum = np.empty(block, dtype=np.uint64)
    a, c = 1, 0
    for i in range(block):
        a, c = (a * mult) & mask, (c * mult + inc) & mask
        a_pow[i], c_sum[i] = a, c
    for start in range(0, x.size, block):
        n = min(block, x.size - start)
        x[start:start + n] = (a_pow[:n] * state + c_sum[:n]) & mask
        state = int(x[start + n - 1])
    raw = (32767 + (x >> 16) % 20000 - 10000).astype(np.uint16)
    raw[((x >> 8) % 997) == 0] = 0xFFFF
    with open(path, "wb") as f:
        f.write(head)
        f.write(raw.astype("<u2").tobytes())


def best(fn, runs=3):
    times = []
    for _ in range(runs):
        t = time.perf_counter()
        result = fn()
        times.append(time.perf_counter() - t)
    return min(times), result


def main(cli, folder):
    log = os.path.join(folder, "bench16.log")
    prn = os.path.join(folder, "BENCH16.PRN")
    if not os.path.exists(log):
        write_log(log)
    if not os.path.exists(prn):
        ini = os.path.join(folder, "bench.ini")
        open(ini, "w").close()
        subprocess.run([cli, "--ini", ini, "--set", "AppendData=NO", "--set",
                        "DateTimeFormat=MM/DD/YYYY HH:MM:SS", "prn", log], check=True,
                       stdout=subprocess.DEVNULL)

    def with_pandas():
        frame = pd.read_csv(prn, skiprows=[1, 2, 3], na_values=["-", "-.", "-.-", "-.--", "-.---"],
                            dtype={"DATE": str, "TIME": str})
        frame.index = pd.to_datetime(frame.pop("DATE") + " " + frame.pop("TIME"),
                                     format="%m/%d/%Y %H:%M:%S")
        frame.index.name = "time"
        return frame

    def with_quorvin():
        return quorvin.read_log(log).to_pandas()

    t_pandas, a = best(with_pandas)
    t_quorvin, b = best(with_quorvin)
    rows = min(len(a), len(b))
    same = np.allclose(a.iloc[:rows].to_numpy(float), b.iloc[:rows].to_numpy(float),
                       equal_nan=True)
    print(f"{'pandas read_csv of the .PRN':34s} {t_pandas * 1000:9.0f} ms  {len(a)} rows")
    print(f"{'quorvin.read_log().to_pandas()':34s} {t_quorvin * 1000:9.0f} ms  {len(b)} rows")
    print(f"{'ratio':34s} {t_pandas / t_quorvin:9.1f} x  (same values: {same})")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    if len(sys.argv) > 2:
        main(sys.argv[1], sys.argv[2])
    else:
        with tempfile.TemporaryDirectory() as d:
            main(sys.argv[1], d)
