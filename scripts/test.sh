#!/usr/bin/env bash
# Installs what is missing, builds the test configuration (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/deps.sh

build=${PELORIN_TEST_BUILD:-"$root/build-test"}
jobs=$(nproc 2>/dev/null || echo 2)
export CCACHE_DIR=${CCACHE_DIR:-"$HOME/.cache/pelorin-ccache"}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Test -DPELORIN_BUILD_TESTS=ON
cmake --build "$build" -j "$jobs"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" --timeout 600

# The fuzz targets, when clang is here: each for 20 seconds with a fixed seed, after the
# reproducers; a crash fails the run.
cd "$root"
if bash scripts/fuzz.sh --available; then
  bash scripts/fuzz.sh 20
else
  echo "test: no clang++ with libFuzzer here, the fuzz targets are left out"
fi
