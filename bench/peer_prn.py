#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The peer of `quorvin-cli prn`: a pandas script that turns a binary log
(.LOG) into the same .PRN text, for comparing speeds (bench_startup).

    peer_prn.py LOG PRN

Reads the 54-byte header, the 28-byte sensor descriptors and the records of
2 bytes per sensor; writes the heading, SLOPE, OFFSET and RIGHTDIGITS rows
and one line per record, and one for the end of the log: MMDDYY,HHMM and each value with its digits
(not-recorded values as the dashes the tool writes), lines ending in CR LF. Written the way a
careful pandas user would: vectorised, no Python loop over records.
"""
import struct
import sys

import numpy as np
import pandas as pd


def main(log_path, prn_path):
    data = open(log_path, "rb").read()
    (year, month, day, hour, minute, second, ih, im, isec, record_size) = struct.unpack_from(
        "<10H", data, 10)
    (sensors,) = struct.unpack_from("<H", data, 52)
    names, slopes, offsets, digits = [], [], [], []
    for s in range(sensors):
        at = 54 + 28 * s
        names.append(data[at:at + 10].split(b"\0")[0].decode("latin-1"))
        slope, offset, right = struct.unpack_from("<ddH", data, at + 10)
        slopes.append(slope)
        offsets.append(offset)
        digits.append(right)
    start = 54 + 28 * sensors
    count = (len(data) - start) // record_size
    raw = np.frombuffer(data, dtype="<u2", count=count * record_size // 2, offset=start)
    raw = raw.reshape(count, record_size // 2)[:, :sensors]
    # The log runs to one interval after its last record, which holds nothing.
    raw = np.vstack([raw, np.full((1, sensors), 0xFFFF, dtype="<u2")])
    count += 1

    interval = pd.Timedelta(hours=ih, minutes=im, seconds=isec)
    first = pd.Timestamp(year, month, day, hour, minute, second)
    times = pd.date_range(first, periods=count, freq=interval)
    frame = pd.DataFrame({"DATE": times.strftime("%m%d%y"), "TIME": times.strftime("%H%M")})
    for s in range(sensors):
        column = raw[:, s]
        values = (column.astype(np.int32) - 32767) / (10.0 ** digits[s])
        text = pd.Series(values).map(("{:.%df}" % digits[s]).format)
        text[column == 0xFFFF] = "-." + "-" * digits[s] if digits[s] > 0 else "-"
        frame[names[s]] = text

    with open(prn_path, "w", newline="") as out:
        out.write(",".join('"%s"' % n for n in ["DATE", "TIME"] + names) + "\r\n")
        out.write('"SLOPE",,' + ",".join("%.*f" % (d, v) for v, d in zip(slopes, digits)) + "\r\n")
        out.write('"OFFSET",,' + ",".join("%.*f" % (d, v) for v, d in zip(offsets, digits)) + "\r\n")
        out.write('"RIGHTDIGITS",,' + ",".join(str(d) for d in digits) + "\r\n")
        frame.to_csv(out, header=False, index=False, lineterminator="\r\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
