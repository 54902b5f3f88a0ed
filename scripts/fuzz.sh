#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds (default 20),
# seed 1, after replaying the reproducers of tests/fuzz/repro. A crash stops the run with its
# input in <build>/fuzz/crashes; fix the fault, then add the input to tests/fuzz/repro/<target>.
#   scripts/fuzz.sh [seconds] [target ...]   targets: dataset profile coast fvbounds
#                                            dates dapdecode
#   scripts/fuzz.sh --available              exit 0 when clang can build a fuzz target here
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# clang alone is not enough: libFuzzer's runtime comes with clang's runtime libraries, which
# Debian packages apart (libclang-rt-*-dev).
available() {
  command -v clang++ >/dev/null 2>&1 || return 1
  local dir
  dir=$(mktemp -d)
  printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
    'extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }' \
    >"$dir/probe.cpp"
  local ok=0
  clang++ -fsanitize=fuzzer,address,undefined -o "$dir/probe" "$dir/probe.cpp" >/dev/null 2>&1 || ok=1
  rm -rf "$dir"
  return $ok
}

if [ "${1:-}" = "--available" ]; then
  available
  exit
fi

seconds=${1:-20}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(dataset profile coast fvbounds dates dapdecode)

if ! available; then
  echo "fuzz: clang++ with libFuzzer (libclang-rt-*-dev) is needed for the fuzz targets" >&2
  exit 1
fi

build=${PELORIN_FUZZ_BUILD:-"$root/build-fuzz"}
jobs=$(nproc 2>/dev/null || echo 2)
export CCACHE_DIR=${CCACHE_DIR:-"$HOME/.cache/pelorin-ccache"}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Fuzz \
  -DPELORIN_BUILD_TESTS=OFF -DPELORIN_BUILD_FUZZ=ON >/dev/null
cmake --build "$build" -j "$jobs" --target fuzz_seeds $(printf 'fuzz_%s ' "${targets[@]}")

export QT_QPA_PLATFORM=offscreen
# Leaks are looked for by the replay in the test build; here they would stop a long run on
# what netCDF-C keeps for the process.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
mkdir -p "$build/fuzz/crashes"
for t in "${targets[@]}"; do
  bin="$build/fuzz/fuzz_$t"
  if [ -d "tests/fuzz/repro/$t" ]; then
    echo "fuzz: replaying tests/fuzz/repro/$t"
    "$bin" -runs=0 "tests/fuzz/repro/$t"
  fi
  corpus="$build/fuzz/corpus/$t"
  mkdir -p "$corpus"
  echo "fuzz: $t for ${seconds}s"
  "$bin" -seed=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz/crashes/$t-" \
    "$corpus" "$build/fuzz/seeds/$t"
done
echo "fuzz: no crash in ${targets[*]}"
