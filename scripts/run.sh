#!/usr/bin/env bash
# Sets up, builds and starts Quorvin. Until the window program exists this
# runs the batch tool: with no arguments it displays the sample log of
# examples/, otherwise it passes its arguments to quorvin-cli.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc 2>/dev/null || echo 2)" --target quorvin-cli >/dev/null

if [ $# -eq 0 ]; then
  set -- prn examples/SITE1.LOG --display
fi
exec ./build/cli/quorvin-cli "$@"
