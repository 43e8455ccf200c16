#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails on an include that breaks the layers CONTRIBUTING.md draws,
#   core <- workbook, logdata, ramcard <- ddr, report <- app <- chart <- gui, cli
# ("<-" reads "is included by"), and on Qt outside chart/ and gui/. Only the
# product folders are checked; tests, benchmarks and tools may reach further.
# A folder of the table that does not exist (yet) is passed over.
set -euo pipefail
cd "$(dirname "$0")/.."

# The folders whose headers a folder's files may include besides its own.
declare -A May=(
  [core]=""
  [logdata]="core"
  [ramcard]="core"
  [workbook]="core"
  [ddr]="core workbook"
  [report]="core logdata workbook"
  [app]="core logdata ramcard ddr workbook report"
  [chart]="core logdata ramcard ddr workbook report app"
  [gui]="core app chart"
  [cli]="core app chart"
)
QtFolders=" gui chart "

# Includes that break the layers today, as "file include", each to go once
# its move lands. One that no longer occurs fails the check too, so the list
# can only shrink: delete its line.
Known=(
  # The system's mount points, which each front end makes for the RAMCARD page.
  "gui/MainForm.cpp ramcard/MountPoints.h"
  "cli/CliMain.cpp ramcard/MountPoints.h"
)

declare -A Seen=()
Failures=0
for Folder in "${!May[@]}"; do
  [ -d "$Folder" ] || continue
  Allowed=" $Folder ${May[$Folder]} "
  while IFS=: read -r File _ Line; do
    if [[ $Line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      Header=${BASH_REMATCH[1]}
      Dir=${Header%%/*}
      [[ $Header == */* && $Allowed == *" $Dir "* ]] && continue
    elif [[ $Line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<(Q[A-Za-z0-9_/]*|qt[A-Za-z0-9_/]*)[\.\>] ]]; then
      [[ $QtFolders == *" $Folder "* ]] && continue
      Header=${BASH_REMATCH[1]}
    else
      continue
    fi
    Entry="$File $Header"
    Exception=false
    for K in "${Known[@]}"; do [[ $K == "$Entry" ]] && Exception=true; done
    if $Exception; then
      Seen[$Entry]=1
    else
      echo "$File: $Folder/ may not include $Header" >&2
      Failures=$((Failures + 1))
    fi
  done < <(grep -rHn --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include' "$Folder" || true)
done

for K in "${Known[@]}"; do
  if [[ -z ${Seen[$K]:-} ]]; then
    echo "${K%% *} no longer includes ${K#* }: delete its line from Known in $0" >&2
    Failures=$((Failures + 1))
  fi
done

if ((Failures > 0)); then
  echo "$Failures include(s) break the layers (see CONTRIBUTING.md, Layers)" >&2
  exit 1
fi
echo "Includes keep to the layers."
