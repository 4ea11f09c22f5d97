#!/usr/bin/env bash
# The Windows stage of scripts/test.sh: cross-builds the modules, the testbed and the test programs
# for Windows x64 with MinGW-w64, runs each test program under Wine, and renders the scenes of
# examples/ through the Windows testbed, comparing what the stand-in renderer received with what
# the Linux build's received. Needs the default build (its testbed and tolv-compare-records).
set -euo pipefail
cd "$(dirname "$0")/.."

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX="$PWD/build/wine" WINEDEBUG=-all
# No Mono or Gecko installer prompts while the prefix is made: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="

start=$SECONDS
# The prefix is made while the compiler runs.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  ( "$WINE" wineboot --init && "$WINESERVER" -w ) > build/wine-init.log 2>&1 &
  prefix_job=$!
fi
cmake --preset windows-cross
cmake --build --preset windows-cross
if [ -n "${prefix_job:-}" ]; then
  wait "$prefix_job" || { cat build/wine-init.log; exit 1; }
fi
echo "windows build and wine prefix: $((SECONDS - start))s"

# One Wine server for the whole stage. Left to itself the server exits a few seconds after its
# last client, and a test program starting in that moment is cut off before it runs ("wine client
# error:0: recvmsg: Connection reset by peer"). The first program run on a server started this
# way also starts Wine's own services, and a test program doing that was seen to hang at exit, so
# a program of Wine's own does it first.
"$WINESERVER" -p
trap '"$WINESERVER" -k 2>/dev/null || true' EXIT
timeout 120 "$WINE" cmd /c exit || echo "wine warm-up: exit status $?"

# A test that Wine cut off or left hanging is run once more; any other failure stands. The Linux
# stages run the same tests natively, so a hang of our own is not hidden by this.
if ! ctest --preset windows-cross 2>&1 | tee build/windows-ctest.log; then
  grep -q 'wine client error\|\*\*\*Timeout' build/windows-ctest.log || exit 1
  echo "windows tests: Wine cut off or hung a test program; running the failed ones again"
  ctest --preset windows-cross --rerun-failed | tee -a build/windows-ctest.log
fi

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
