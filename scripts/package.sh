#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of Quorvin into build-release/ and prints its
# name. Needs root (or sudo) on a Debian 12 machine for the set-up.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
cmake --preset release >/dev/null
targets=(quorvin-cli manpage)
grep -q '^QUORVIN_BUILD_GUI:BOOL=ON' build-release/CMakeCache.txt && targets+=(quorvin)
cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]}" >/dev/null
(cd build-release && cpack -G DEB >/dev/null)
ls build-release/quorvin_*.deb
