#!/usr/bin/env bash
# The main job: build the plug-ins and the testbed, then render the demo scene into build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
tolv_install_missing

cmake --preset default
cmake --build --preset default

# Render the demo scene: each layer's frames as PNG, every record the stand-in renderer received,
# and the report of every step.
rm -rf build/demo
mkdir -p build/demo
build/default/tolv-testbed render examples/demo.json --out build/demo \
  --records build/demo/records --json > build/demo/report.json
echo "build/demo/: $(ls build/demo | tr '\n' ' ')"
echo "report: build/demo/report.json"
