#!/usr/bin/env bash
# Installs what is missing, makes a release build and starts the viewer on the bundled samples.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/deps.sh

build=${PELORIN_BUILD:-"$root/build-release"}
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELORIN_BUILD_TESTS=OFF
cmake --build "$build" -j "$jobs"

if [ ! -x "$build/viewer/Pelorin" ]; then
  echo "The shared layers are built; the viewer Pelorin is not part of this build yet."
  exit 0
fi
exec "$build/viewer/Pelorin" "$@"
