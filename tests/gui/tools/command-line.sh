#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# quorvin's command line: --help and --version print and end with 0, with
# or without a display; "--" ends the options; without a display the
# program says so and ends with 1 (Qt alone would abort).
# usage: command-line.sh QUORVIN VERSION
set -u
quorvin=$1
version=$2
failed=0
fail() {
  echo "FAILED: $*" >&2
  failed=1
}
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }

out=$(nodisplay "$quorvin" --help 2>&1)
rc=$?
[ $rc -eq 0 ] || fail "--help ended with $rc"
grep -q '^Usage: [^ ]*quorvin \[options\] \[files...\]' <<<"$out" || fail "--help printed: $out"
grep -q -- '--version' <<<"$out" || fail "--help does not name --version: $out"

out=$(nodisplay "$quorvin" --version 2>&1)
rc=$?
[ $rc -eq 0 ] || fail "--version ended with $rc"
[ "$out" = "quorvin $version" ] || fail "--version printed: $out"

err=$(nodisplay "$quorvin" 2>&1 >/dev/null)
rc=$?
[ $rc -eq 1 ] || fail "without a display it ended with $rc"
grep -q '^quorvin: no display' <<<"$err" || fail "without a display it said: $err"

# After "--", "--help" is a file name: no help, and no display to open it.
out=$(nodisplay "$quorvin" -- --help 2>/dev/null)
rc=$?
[ $rc -eq 1 ] || fail "-- --help ended with $rc"
[ -z "$out" ] || fail "-- --help printed: $out"
exit $failed
