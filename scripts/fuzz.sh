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
#
# Each target's rate is printed, inputs per second (libFuzzer's figure) and
# inputs per second of the CPU time the run used, and all of them at the
# end. A target should run at least QUORVIN_FUZZ_FLOOR (500) inputs a
# second: below that a warning is printed. The script fails when a target's
# rate per CPU second falls below half of it: that figure drops little when
# the machine is shared (a busy machine slowed the wall rate of two targets
# below a fifth while they ran four times that per CPU second), while a
# target that waits on the disk or maps megabytes per input falls far below
# it. On a shared 2-core machine every target ran at least 850 per CPU
# second.
set -euo pipefail
cd "$(dirname "$0")/.."
# Times are read back with a decimal point.
export LC_NUMERIC=C

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

floor=${QUORVIN_FUZZ_FLOOR:-500}
status=0
rates=()
for t in "${run[@]}"; do
  corpus="$root/corpus/$t"
  findings="$root/findings/$t"
  mkdir -p "$corpus" "$findings"
  cp -n "$root/seeds/$t"/* "$corpus"/ 2>/dev/null || true
  dict=()
  if [ -f "fuzz/$t.dict" ]; then dict=(-dict="fuzz/$t.dict"); fi
  echo "== $t for ${seconds}s"
  # One process at a time: the machine is shared. Leaks count as findings.
  # A small quarantine still catches a use after free within an input (an
  # input frees far less than 32 MiB); the default 256 MiB has every input
  # fault in fresh pages.
  TIMEFORMAT='%U %S'
  found=0
  if ! { time ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1:quarantine_size_mb=32 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "build-fuzz/fuzz/$t" "$corpus" "${dict[@]}" \
    -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -max_len=16384 \
    -artifact_prefix="$findings/" -print_final_stats=1 >"$root/$t.log" 2>&1; } 2>"$root/$t.cpu"; then
    echo "!! $t: finding, see $root/$t.log and $findings/" >&2
    tail -n 40 "$root/$t.log" >&2
    status=1
    found=1
  fi
  grep -E '^#[0-9]+.*(DONE|cov:)' "$root/$t.log" | tail -n 1 || true
  echo "corpus: $(ls "$corpus" | wc -l) files"
  # Inputs run, per second of the run and per second of CPU time.
  read -r runs wall < <(awk '/^stat::number_of_executed_units:/ { n = $2 }
    /^stat::average_exec_per_sec:/ { r = $2 } END { print n + 0, r + 0 }' "$root/$t.log")
  cpu=$(awk -v n="$runs" '{ c = $1 + $2 } END { print (c > 0 ? int(n / c) : 0) }' "$root/$t.cpu")
  line=$(printf '%-14s %8d inputs %6d/s %6d per CPU second' "$t" "$runs" "$wall" "$cpu")
  echo "rate: $line"
  # A run of a few seconds is mostly start-up, and one that stopped at a
  # finding ran short: their rates say nothing.
  if [ "$found" -eq 0 ] && [ "$seconds" -ge 10 ]; then
    if [ "$cpu" -lt $((floor / 2)) ]; then
      line="$line  FAILED: below $((floor / 2)) per CPU second"
      echo "!! $t: $cpu inputs per CPU second, below $((floor / 2)) (half of $floor)" >&2
      status=1
    elif [ "$wall" -lt "$floor" ]; then
      line="$line  below $floor/s"
      echo "warning: $t ran $wall inputs a second, below $floor ($cpu per CPU second)" >&2
    fi
  fi
  rates+=("$line")
done
echo "== rates (at least $floor inputs a second wanted, $((floor / 2)) per CPU second needed)"
printf '%s\n' "${rates[@]}"
exit $status
