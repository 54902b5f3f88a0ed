#!/usr/bin/env bash
# Builds the Release configuration with the benchmarks and runs them. The references the
# benches hold their figures against are installed when missing (Debian packages): matplotlib
# (python3-matplotlib) for the map frames against imshow, and ncview with the X server Xvfb for
# the start-up against ncview's. Without one, its figures say "not available" or why not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/deps.sh
missing=()
/usr/bin/python3 -c 'import matplotlib' >/dev/null 2>&1 || missing+=(python3-matplotlib)
command -v ncview >/dev/null 2>&1 || missing+=(ncview)
command -v Xvfb >/dev/null 2>&1 || missing+=(xvfb)
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null ||
        echo "not installed: ${missing[*]}"
fi

build=${PELORIN_BENCH_BUILD:-"$root/build-rel"}
export CCACHE_DIR=${CCACHE_DIR:-"$HOME/.cache/pelorin-ccache"}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELORIN_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)"

work=$(mktemp -d)
xvfb=""
trap '[ -z "$xvfb" ] || kill "$xvfb"; rm -rf "$work"' EXIT
# The start-up is timed on an X display of its own, where ncview can show its window too.
startup_display=()
if command -v Xvfb >/dev/null 2>&1; then
    # Xvfb picks a free display number and writes it when it is ready.
    Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    if [ -s "$work/display" ]; then
        startup_display=(env -u QT_QPA_PLATFORM DISPLAY=":$(tr -d '[:space:]' <"$work/display")")
    fi
fi
export QT_QPA_PLATFORM=offscreen
for b in alias_bench read_bench dap_read_bench frame_bench render_bench startup_bench subset_bench; do
    echo "== $b"
    case $b in
    frame_bench | subset_bench) "$build/bench/$b" "$work" ;;
    startup_bench) "${startup_display[@]}" "$build/bench/$b" ;;
    *) "$build/bench/$b" ;;
    esac
done
