#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Records a new golden case from the tool as it is now:
#   tests/golden/make-case.sh NAME "SAMPLE..." ARG...
# e.g. tests/golden/make-case.sh prn-save "SITE1.LOG" prn SITE1.LOG
# Check the recorded outputs by eye before committing them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${QUORVIN_CLI:-$here/../../build/cli/quorvin-cli}
name=$1; samples=$2; shift 2
case_dir=$here/$name
mkdir -p "$case_dir/expected/files"
printf '%s\n' "$@" > "$case_dir/args"
[ -n "$samples" ] && printf '%s\n' $samples > "$case_dir/samples"
work=$(mktemp -d)
for s in $samples; do cp "$here/../../examples/$s" "$work/"; done
: >"$work/none.ini" # every option at its default
before=$(ls -A "$work")
set +e
(cd "$work" && TZ=America/Denver LC_ALL=C "$cli" --ini none.ini "$@" \
  > "$case_dir/expected/stdout" 2> "$case_dir/expected/stderr")
echo $? > "$case_dir/expected/exit"
set -e
for f in $(ls -A "$work"); do
  case " $before " in *" $f "*) ;; *) cp "$work/$f" "$case_dir/expected/files/";; esac
done
rm -rf "$work"
echo "recorded $case_dir"
