#!/usr/bin/env bash
# Builds the Release configuration with the benchmarks and runs them. matplotlib (Debian's
# python3-matplotlib) is installed when missing, so that the map frames are held against
# imshow; without it those figures say "not available".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/deps.sh
if ! /usr/bin/python3 -c 'import matplotlib' >/dev/null 2>&1; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get install -y -q python3-matplotlib >/dev/null || echo "matplotlib not installed"
fi

build=${PELORIN_BENCH_BUILD:-"$root/build-rel"}
export CCACHE_DIR=${CCACHE_DIR:-"$HOME/.cache/pelorin-ccache"}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELORIN_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
for b in alias_bench read_bench dap_read_bench frame_bench render_bench startup_bench subset_bench; do
    echo "== $b"
    case $b in
    frame_bench | subset_bench) "$build/bench/$b" "$work" ;;
    *) "$build/bench/$b" ;;
    esac
done
