#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/screenshots.sh DIR: builds, starts the real window on a virtual X
# display, loads the samples of examples/ and saves a PNG of each page with
# its main view on (LOGPRN Display and Header, LOGPLOT Graph, LOGSTAT
# Statistics, RAMCARD with the sample dump listed, DDRLOG Display), at the
# design size and maximised, a long hint in the status bar, a chart of
# sixteen sensors with the read-out under the mouse (without and with the
# logger's time zone), the File menu with its recent files, the Time Zone
# dialog, then the about box and the help window with a search going
# on, and last the whole of an 800x600 screen with the window on it.
# Nothing is compared: the pictures are for people to look at.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 1 ]; then
  echo "usage: scripts/screenshots.sh DIR" >&2
  exit 2
fi
out=$1
mkdir -p build "$out"
log=build/screenshots.log
: >"$log"
if ! { cmake --preset default &&
  cmake --build --preset default -j "$(nproc 2>/dev/null || echo 2)" --target quorvin-screenshots; } \
  >>"$log" 2>&1; then
  echo "The build failed; the details are in $(pwd)/$log" >&2
  exit 1
fi
xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
  ./build/gui/quorvin-screenshots "$out" examples 2>>"$log"
# The window with its output area on, on a screen too small for it.
xvfb-run --auto-servernum --server-args="-screen 0 800x600x24" \
  ./build/gui/quorvin-screenshots "$out" examples small 2>>"$log"
