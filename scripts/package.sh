#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages of Quorvin (quorvin, python3-quorvin and their
# -dbgsym packages) from debian/ with dpkg-buildpackage, in a clean copy of
# the sources under build-deb/, and prints the path of the .changes file
# that lists them.
# The full output of the build goes to build-deb/build.log. Needs root (or
# sudo) on a Debian 12 machine for the set-up.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
out=$PWD/build-deb
src=$out/quorvin-$version
# The copy keeps its path from one build to the next, so a compiler cache
# serves the second build.
rm -rf "$src" "$out"/quorvin*_"$version"_*
mkdir -p "$src"

# The sources as they stand in the work tree (committed or not), without the
# build folders and other ignored files.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf - | tar -xf - -C "$src"
else
  tar --exclude='./build*' --exclude='./.git' -cf - . | tar -xf - -C "$src"
fi

# debhelper gives the build a home of its own; the machine's compiler cache
# is named outright so it still serves.
if command -v ccache >/dev/null && [ -z "${CCACHE_DIR:-}" ]; then
  CCACHE_DIR=$(ccache -k cache_dir)
  export CCACHE_DIR CCACHE_BASEDIR=$src
fi

log=$out/build.log
if ! (cd "$src" && dpkg-buildpackage -b -us -uc -j"$(nproc 2>/dev/null || echo 2)") >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "The package build failed; the details are in $log" >&2
  exit 1
fi
ls "$out/quorvin_${version}_${arch}.changes"
