#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one fuzz target (or each in turn) for SECONDS seconds:
#   scripts/fuzz.sh TARGET SECONDS      e.g. scripts/fuzz.sh fuzz_csvfile 600
#   scripts/fuzz.sh all SECONDS
# Builds the fuzz preset (clang, build-fuzz/), seeds each corpus from the
# project's generators and the samples in examples/, and keeps the corpus in
# build-fuzz/corpus/TARGET between runs. An input that crashes, leaks, hangs
# or exhausts memory is kept in build-fuzz/findings/TARGET/ and makes the
# script fail.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -ne 2 ] || ! [[ "$2" =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh TARGET|all SECONDS" >&2
  exit 2
fi
target=$1
seconds=$2
targets=(fuzz_logfile fuzz_csvfile fuzz_ddr fuzz_ramcard fuzz_inifile fuzz_app)
if [ "$target" = all ]; then
  run=("${targets[@]}")
elif [[ " ${targets[*]} " == *" $target "* ]]; then
  run=("$target")
else
  echo "unknown target: $target (one of: ${targets[*]} all)" >&2
  exit 2
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)" --target fuzz_all

root=build-fuzz
build-fuzz/fuzz/make_seeds "$root/seeds"
# The committed samples are generated files too.
cp examples/SITE1.LOG "$root/seeds/fuzz_logfile/seed-SITE1.LOG"
cp examples/site2.csv "$root/seeds/fuzz_csvfile/seed-site2.csv"
cp examples/site3.csv "$root/seeds/fuzz_csvfile/seed-site3.csv"
cp examples/RAMCARD.RCD "$root/seeds/fuzz_ramcard/seed-RAMCARD.RCD"
{ printf '\x00'; cat examples/SAMPLE.DDR; } >"$root/seeds/fuzz_ddr/seed-SAMPLE.DDR"

status=0
for t in "${run[@]}"; do
  corpus="$root/corpus/$t"
  findings="$root/findings/$t"
  mkdir -p "$corpus" "$findings"
  cp -n "$root/seeds/$t"/* "$corpus"/ 2>/dev/null || true
  dict=()
  if [ -f "fuzz/$t.dict" ]; then dict=(-dict="fuzz/$t.dict"); fi
  echo "== $t for ${seconds}s"
  # One process at a time: the machine is shared. Leaks count as findings.
  if ! ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "build-fuzz/fuzz/$t" "$corpus" "${dict[@]}" \
    -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -max_len=16384 \
    -artifact_prefix="$findings/" -print_final_stats=1 2>"$root/$t.log"; then
    echo "!! $t: finding, see $root/$t.log and $findings/" >&2
    tail -n 40 "$root/$t.log" >&2
    status=1
  fi
  grep -E '^#[0-9]+.*(DONE|cov:)' "$root/$t.log" | tail -n 1 || true
  echo "corpus: $(ls "$corpus" | wc -l) files"
done
exit $status
