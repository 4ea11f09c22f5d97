#!/usr/bin/env bash
# The main job: build the plug-ins and the testbed, then show what the host learns of each module.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
tolv_install_missing

cmake --preset default
cmake --build --preset default

for module in TOLV_Mask TOLV_Distort TOLV_AEGP; do
  echo "== $module"
  build/default/tolv-testbed inspect "build/default/plugins/$module.so"
done
