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

# Only what the tests need: the benchmarks and the sample generators are
# left out (the release preset builds the benchmarks; in build/, configure
# with -DQUORVIN_BUILD_BENCH=ON -DQUORVIN_BUILD_EXAMPLES=ON to have them).
only_tests=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DQUORVIN_BUILD_BENCH=OFF -DQUORVIN_BUILD_EXAMPLES=OFF)

cmake --preset default "${only_tests[@]}" >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

cmake --preset asan "${only_tests[@]}" >/dev/null
cmake --build --preset asan -j "$jobs"
# Leaks inside the system's libraries (tests/lsan.supp names them) are not
# ours; every other leak fails its test.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions="$(pwd)/tests/lsan.supp" ctest --preset asan -j "$jobs"
