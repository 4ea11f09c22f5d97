#!/usr/bin/env bash
# The main job: install what the build needs, build the plug-ins and the testbed, then render the
# demo scenes into out/<scene>/: each layer's picture as PNG, each mesh the renderer received as
# binary glTF, and the report of every step as report.json.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
tolv_install_missing

cmake --preset default
cmake --build --preset default -j"$(nproc)"

for scene in vase ribbon terrain path_light; do
  rm -rf "out/$scene"
  mkdir -p "out/$scene"
  build/default/tolv-testbed render "examples/$scene.json" --out "out/$scene" --json \
    > "out/$scene/report.json"
  echo "out/$scene/: $(cd "out/$scene" && ls | tr '\n' ' ')"
done
echo "pictures: out/*/step*.png   meshes: out/*/*.glb"
