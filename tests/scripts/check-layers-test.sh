#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The layer check passes a tree that keeps to the layers and names each
# include of one that does not.
set -euo pipefail
Check="$(dirname "$0")/../../scripts/check-layers.sh"
Tree=$(mktemp -d)
trap 'rm -rf "$Tree"' EXIT
mkdir -p "$Tree"/{core,ddr,app,chart,gui,cli,bench,generators}
printf '#include "core/Base.h"\n#include <vector>\n' > "$Tree/app/Fine.cpp"
printf '#include "app/Application.h"\n#include <QWidget>\n' > "$Tree/chart/Fine.cpp"
printf '#include "chart/ChartPanel.h"\n' > "$Tree/cli/GraphMain.cpp"
printf '#include "generators/LogGen.h"\n' > "$Tree/bench/Fine.cpp"
bash "$Check" "$Tree" > /dev/null

printf '#include "report/LogExport.h"\n' > "$Tree/ddr/Bad.cpp"
printf '#include "gui/MainForm.h"\n' > "$Tree/cli/Bad.cpp"
printf '#include "chart/ChartPanel.h"\n' > "$Tree/cli/CliMain.cpp"
printf '  #  include <QString>\n' > "$Tree/app/Bad.h"
printf '#include "Loose.h"\n' > "$Tree/core/Bad.cpp"
printf '#include "tests/support/Scratch.h"\n' > "$Tree/bench/Bad.cpp"
printf '#include "core/MiscUtil.h"\n' > "$Tree/generators/Bad.cpp"
if Out=$(bash "$Check" "$Tree" 2>&1); then
  echo "a tree against the layers passed: $Out" >&2
  exit 1
fi
Expected='app/Bad.h: app/ may not include QString
cli/Bad.cpp: cli/ may not include gui/MainForm.h
cli/CliMain.cpp: cli/ may not include chart/ChartPanel.h
core/Bad.cpp: core/ may not include Loose.h
ddr/Bad.cpp: ddr/ may not include report/LogExport.h
bench/Bad.cpp: bench/ may not include tests/support/Scratch.h
generators/Bad.cpp: generators/ may not include core/MiscUtil.h
7 include(s) break the layers (see CONTRIBUTING.md, Layers)'
Got=$(printf '%s\n' "$Out" | sort)
if [[ $Got != "$(printf '%s\n' "$Expected" | sort)" ]]; then
  printf 'expected:\n%s\ngot:\n%s\n' "$Expected" "$Out" >&2
  exit 1
fi
