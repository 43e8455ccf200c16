#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up, builds and starts Quorvin: the window, started in examples/ so the
# open dialog shows the sample files. Without a display it says so and shows
# the sample log through the batch tool instead. Arguments, if any, go to the
# batch tool (e.g. scripts/run.sh prn examples/SITE1.LOG).
#
# Set-up and build print one line per stage; their full output goes to
# build/run.log, named when a stage fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
mkdir -p build
log=build/run.log
: >"$log"

stage() {
  local text=$1
  shift
  printf '%s ... ' "$text"
  if "$@" >>"$log" 2>&1; then
    echo done
  else
    echo "failed; the details are in $root/$log"
    exit 1
  fi
}

stage "Installing the packages Quorvin needs" bash scripts/setup.sh
stage "Configuring the build" cmake --preset default
stage "Building quorvin and quorvin-cli" \
  cmake --build --preset default -j "$(nproc 2>/dev/null || echo 2)" --target quorvin quorvin-cli

if [ $# -gt 0 ]; then
  exec ./build/cli/quorvin-cli "$@"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to open the window on: showing examples/SITE1.LOG with quorvin-cli instead."
  exec ./build/cli/quorvin-cli prn examples/SITE1.LOG --display
fi
cd examples
exec ../build/gui/quorvin
