#!/usr/bin/env bash
# The Windows stage of scripts/test.sh: cross-builds the modules, the testbed and the test programs
# for Windows x64 with MinGW-w64, runs each test program under Wine, and renders the scenes of
# examples/ through the Windows testbed, comparing what the stand-in renderer received with what
# the Linux build's received. Needs the default build (its testbed and tolv-compare-records).
set -euo pipefail
cd "$(dirname "$0")/.."

WINE=/usr/lib/wine/wine64
export WINEPREFIX="$PWD/build/wine" WINEDEBUG=-all
# No Mono or Gecko installer prompts while the prefix is made: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="

start=$SECONDS
# The prefix is made while the compiler runs.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  ( "$WINE" wineboot --init && /usr/lib/wine/wineserver -w ) > build/wine-init.log 2>&1 &
  prefix_job=$!
fi
cmake --preset windows-cross
cmake --build --preset windows-cross
if [ -n "${prefix_job:-}" ]; then
  wait "$prefix_job" || { cat build/wine-init.log; exit 1; }
fi
echo "windows build and wine prefix: $((SECONDS - start))s"

ctest --preset windows-cross | tee build/windows-ctest.log

# The meshes of these scenes go through the C math library's single-precision functions (the
# ribbon's mask rotations, the distort effect's twists and bends: sinf, cosf), which glibc and the
# Windows C library round differently in the last bit; they are compared within a relative
# tolerance a few such bits pass through the arithmetic with. Every other scene must agree to the
# byte.
TOLERANCE=1e-5
declare -A inexact=()
for scene in ${TOLV_INEXACT_SCENES:-ribbon mask_distort_render}; do inexact[$scene]=1; done

scenes_dir=build/windows-scenes
rm -rf "$scenes_dir"
failed=0
for scene_file in examples/*.json; do
  scene=$(basename "$scene_file" .json)
  mkdir -p "$scenes_dir/$scene"
  build/default/tolv-testbed render "$scene_file" --json --records "$scenes_dir/$scene/linux" \
    > "$scenes_dir/$scene/linux.json"
  "$WINE" build/windows-cross/tolv-testbed.exe render "$scene_file" --json \
    --records "$scenes_dir/$scene/windows" > "$scenes_dir/$scene/windows.json"
  if [ -n "${inexact[$scene]:-}" ]; then
    build/default/tolv-compare-records "$scenes_dir/$scene/linux" "$scenes_dir/$scene/windows" \
      --tolerance "$TOLERANCE" || failed=1
  else
    build/default/tolv-compare-records "$scenes_dir/$scene/linux" "$scenes_dir/$scene/windows" \
      || failed=1
  fi
done
[ "$failed" -eq 0 ] || { echo "windows scenes: records differ"; exit 1; }
echo "windows stage: $((SECONDS - start))s"
