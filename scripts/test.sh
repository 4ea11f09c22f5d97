#!/usr/bin/env bash
# Builds and runs every test: the default build, the Windows build under Wine, the sanitizer build
# (whose tests replay the fuzz corpora), the fault sweep under the sanitizers, and each fuzz target
# briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
tolv_install_missing

FUZZ_SECONDS="${FUZZ_SECONDS:-15}"

echo "== default build"
cmake --preset default
cmake --build --preset default
ctest --preset default | tee build/default-ctest.log

echo "== Windows: MinGW-w64 cross build, tests and scenes under Wine"
scripts/windows_stage.sh

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan | tee build/asan-ctest.log

echo "== fault sweep (AddressSanitizer build)"
TOLV_BUILD_DIR=build/asan \
  build/asan/tests/reliability/fault_sweep 2> build/asan/fault-sweep.log | tee build/fault-sweep.log ||
  { tail -n 40 build/asan/fault-sweep.log; exit 1; }

echo "== fuzz targets (${FUZZ_SECONDS}s each)"
cmake --preset fuzz
fuzzers=$(find fuzz -maxdepth 1 -name '*_fuzz.cpp' -exec basename {} .cpp \; | sort)
cmake --build --preset fuzz --target $fuzzers
for target in $fuzzers; do
  corpus="$(mktemp -d)"
  cp -r "fuzz/corpus/$target/." "$corpus/"
  "build/fuzz/fuzz/$target" -max_total_time="$FUZZ_SECONDS" -print_final_stats=0 "$corpus" \
    2> "build/fuzz/$target.log" || { tail -n 40 "build/fuzz/$target.log"; exit 1; }
  echo "$target: $(grep -c . "build/fuzz/$target.log") log lines, no crash"
  rm -rf "$corpus"
done
count() { sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$1"; }
total=$(( $(count build/default-ctest.log) + $(count build/asan-ctest.log) \
          + $(count build/windows-ctest.log) ))
nfuzz=$(echo $fuzzers | wc -w)
echo "all: $((total + nfuzz + 1)) passed, 0 failed"
