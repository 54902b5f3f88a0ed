#!/usr/bin/env bash
# Installs what is missing, makes a release build and starts the viewer. The first time, it
# writes the user's settings file from data/Pelorin.ini, with the bundled coastline and the
# sample datasets in the remembered list; later runs keep that file as the user left it.
# Usage: scripts/run.sh [dataset]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/deps.sh

build=${PELORIN_BUILD:-"$root/build-release"}
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELORIN_BUILD_TESTS=OFF
cmake --build "$build" -j "$jobs"

program="$build/bin/Pelorin"
settings_dir="${XDG_CONFIG_HOME:-$HOME/.config}/Pelorin"
settings="$settings_dir/Pelorin.ini"

if [ ! -e "$settings" ]; then
  mkdir -p "$settings_dir"
  coast="$build/bin/coasts/WORLD_E.bdm"
  samples=()
  for name in regular_global bfg_coastal fe_mesh fv_mesh gmt_grid stations regular_2deg; do
    if [ -f "$build/samples/$name.nc" ]; then samples+=("$build/samples/$name.nc"); fi
  done
  tmp=$(mktemp "$settings_dir/.Pelorin.ini.XXXXXX")
  # The coastline by its absolute path; the samples as URLfile 1, 2, ... of [URL List].
  awk -v coast="$coast" -v list="$(printf '%s\n' "${samples[@]}")" '
    /^coastline 1=/ { print "coastline 1=" coast; next }
    { print }
    /^\[URL List\]/ {
      n = split(list, s, "\n")
      k = 0
      for (i = 1; i <= n; i++) if (s[i] != "") print "URLfile " (++k) "=" s[i]
    }
  ' data/Pelorin.ini >"$tmp"
  chmod 644 "$tmp"
  mv "$tmp" "$settings"
  echo "Wrote the settings file $settings"
fi

# A settings file named by the caller comes first and wins; a dataset heads the remembered list.
exec "$program" "$@" "$settings"
