#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# close-under-x11.sh QUORVIN CLOSE_WINDOW: starts the window program on a
# virtual X display (Xvfb) in an empty folder, closes its window as a window
# manager does, and expects it to end by itself with status 0, its settings
# file written. Under X11 the program loads what the off-screen tests never
# do (the desktop's D-Bus, input methods); in the sanitizer build a leak
# report from any of it ends the program with status 1. Exit 77 (skipped)
# without xvfb-run.
set -uo pipefail
quorvin=$1
closer=$2
if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is not installed (scripts/setup.sh installs it): skipped"
  exit 77
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"

# shellcheck disable=SC2016 # expanded by the inner shell
QT_QPA_PLATFORM=xcb xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
  bash -c '
    "$1" &
    pid=$!
    if ! "$2" Quorvin 60; then
      kill "$pid"
      wait "$pid"
      exit 90
    fi
    # Closed: it ends by itself within a minute (the sanitizers are slow).
    for _ in $(seq 600); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
      echo "quorvin still runs a minute after its window was closed" >&2
      kill -9 "$pid"
      exit 91
    fi
    wait "$pid"' close-under-x11 "$quorvin" "$closer"
status=$?
if [ "$status" -ne 0 ]; then
  echo "quorvin ended with status $status" >&2
  exit 1
fi
if [ ! -f Quorvin.ini ]; then
  echo "quorvin wrote no Quorvin.ini: its window was not closed the normal way" >&2
  exit 1
fi
echo "quorvin closed normally: status 0, settings written"
