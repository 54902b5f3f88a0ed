#!/usr/bin/env bash
# Installs what is missing, builds the test configuration (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test, then the fuzz targets; prints the time of
# each step at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Wall and processor seconds of each step, printed at the end of the run (and when it fails).
steps=()
step_wall=$(date +%s)
step_cpu=0
cpu_seconds() { # processor seconds of this script's finished child processes so far
  local ticks
  ticks=$(getconf CLK_TCK)
  awk -v t="$ticks" '{ sub(/^.*\) /, ""); printf "%d", ($14 + $15) / t }' "/proc/$$/stat"
}
step_done() {
  local now cpu
  now=$(date +%s)
  cpu=$(cpu_seconds)
  steps+=("$(printf '%-12s %6d s wall %7d s processor' "$1" $((now - step_wall)) $((cpu - step_cpu)))")
  step_wall=$now
  step_cpu=$cpu
}
report() {
  [ ${#steps[@]} -gt 0 ] || return 0
  echo "test: times of the steps ($(nproc 2>/dev/null || echo '?') cores)"
  printf '  %s\n' "${steps[@]}"
}
trap report EXIT

bash scripts/deps.sh
step_done "packages"

build=${PELORIN_TEST_BUILD:-"$root/build-test"}
jobs=$(nproc 2>/dev/null || echo 2)
export CCACHE_DIR=${CCACHE_DIR:-"$HOME/.cache/pelorin-ccache"}
# A miss then costs no extra preprocessor run: ccache takes the headers from the compiler's own
# dependency list. An empty cache, as on a fresh machine, is all misses.
export CCACHE_DEPEND=${CCACHE_DEPEND:-1}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Test -DPELORIN_BUILD_TESTS=ON
cmake --build "$build" -j "$jobs"
step_done "build"
cd "$build"
# Each test is a process of its own, and at its end the leak check symbolizes the stacks of the
# blocks it finds, suppressed ones included, which reads the binary's whole debug information:
# half a second of each test's processor time. The run goes without names in its reports; a
# test that fails runs once more with them.
if ! QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=symbolize=0 ctest --output-on-failure -j "$jobs" \
  --timeout 600; then
  echo "test: the failed tests once more, with the names in their reports"
  QT_QPA_PLATFORM=offscreen ctest --rerun-failed --output-on-failure --timeout 600 || true
  exit 1
fi
step_done "tests"

# The fuzz targets, when clang is here: each for 20 seconds with a fixed seed, after the
# reproducers; a crash fails the run.
cd "$root"
if bash scripts/fuzz.sh --available; then
  bash scripts/fuzz.sh 20
  step_done "fuzz"
else
  echo "test: no clang++ with libFuzzer here, the fuzz targets are left out"
fi
