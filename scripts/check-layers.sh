#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails on an include that breaks the layers CONTRIBUTING.md draws,
#   core <- workbook, logdata, ramcard <- ddr, report <- app <- chart <- gui, cli
# (and app <- python, the Python module; generators/ includes nothing of the
# product), and on an include of tests/ from the benchmarks, the sample
# generators and the fuzz targets, which take their generators from
# generators/
# ("<-" reads "is included by"), and on Qt outside chart/ and gui/. Only the
# product folders are checked; tests, benchmarks and tools may reach further.
# A folder of the table that does not exist (yet) is passed over.
# Usage: check-layers.sh [TREE] (the repository this script lies in by default)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The folders whose headers a folder's files may include besides its own.
declare -A May=(
  [core]=""
  [zone]="core"
  [logdata]="core"
  [ramcard]="core"
  [workbook]="core"
  [ddr]="core workbook"
  [report]="core logdata workbook"
  [app]="core logdata ramcard ddr workbook report"
  [chart]="core logdata ramcard ddr workbook report app"
  [gui]="core app chart"
  [cli]="core app chart"
  [python]="core app"
  [generators]=""
)
QtFolders=" gui chart "
# Of cli/, only the graph program draws charts: quorvin-cli links no Qt.
ChartInCli="cli/GraphMain.cpp"

Failures=0
for Folder in "${!May[@]}"; do
  [ -d "$Folder" ] || continue
  Allowed=" $Folder ${May[$Folder]} "
  while IFS=: read -r File _ Line; do
    if [[ $Line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      Header=${BASH_REMATCH[1]}
      Dir=${Header%%/*}
      if [[ $Folder == cli && $Dir == chart && $File != "$ChartInCli" ]]; then
        :
      elif [[ $Header == */* && $Allowed == *" $Dir "* ]]; then
        continue
      fi
    elif [[ $Line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<(Q[A-Za-z0-9_/]*|qt[A-Za-z0-9_/]*)[\.\>] ]]; then
      [[ $QtFolders == *" $Folder "* ]] && continue
      Header=${BASH_REMATCH[1]}
    else
      continue
    fi
    echo "$File: $Folder/ may not include $Header" >&2
    Failures=$((Failures + 1))
  done < <(grep -rHn --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include' "$Folder" || true)
done

# The product-side tools build on generators/, never on the test kit.
for Folder in bench examples fuzz; do
  [ -d "$Folder" ] || continue
  while IFS=: read -r File _ Line; do
    if [[ $Line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"(tests/[^\"]+)\" ]]; then
      echo "$File: $Folder/ may not include ${BASH_REMATCH[1]}" >&2
      Failures=$((Failures + 1))
    fi
  done < <(grep -rHn --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include' "$Folder" || true)
done

if ((Failures > 0)); then
  echo "$Failures include(s) break the layers (see CONTRIBUTING.md, Layers)" >&2
  exit 1
fi
echo "Includes keep to the layers."
