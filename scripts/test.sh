#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up, builds and runs every test; then the same tests once more in an
# AddressSanitizer + UndefinedBehaviorSanitizer build. Non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

# An include against the layers fails at once, before anything is built.
bash scripts/check-layers.sh
bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)

# The tests write, sync and rename thousands of small files in scratch
# folders; on a disk they wait for it far longer than they compute, so where
# the machine has a memory file system their scratch folders go there.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  TMPDIR=$(mktemp -d /dev/shm/quorvin-tests.XXXXXX)
  export TMPDIR
  trap 'rm -rf "$TMPDIR"' EXIT
fi

# Builds of their own (build-check/, build-check-asan/), made to compile
# quickly: only what the tests need (no benchmarks, no sample generators),
# each folder in a few unity files, the plain build at -O1 without debug
# info, the sanitizer build with line tables for its stack traces. The
# default and asan presets stay the builds to debug in.
cmake --preset check >/dev/null
cmake --build --preset check -j "$jobs"
ctest --preset check -j "$jobs"

cmake --preset check-asan >/dev/null
cmake --build --preset check-asan -j "$jobs"
# Leaks inside the system's libraries (tests/lsan.supp names them) are not
# ours; every other leak fails its test.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions="$(pwd)/tests/lsan.supp" ctest --preset check-asan -j "$jobs"
