#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the tools need.
# Only what is missing is installed; the package lists are refreshed once, and only then.
set -euo pipefail

packages=(
  g++ cmake ninja-build ccache pkg-config
  libnetcdf-dev libhdf5-dev netcdf-bin libcurl4-gnutls-dev
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev
  libpugixml-dev libdap-dev
  fonts-dejavu-core
  clang-format
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
refreshed=0
refresh() {
  [ $refreshed -eq 1 ] && return 0
  "${sudo_cmd[@]}" apt-get update -qq
  refreshed=1
}
installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  refresh
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The fuzz targets need clang and the sanitizer runtime of that same clang, which Debian
# packages apart under the compiler's major version (libclang-rt-N-dev). Both are optional:
# where this release has no such package the fuzz targets are left out, the rest goes on.
fuzz_note() { echo "deps: $1; the fuzz targets will be left out" >&2; }
if ! command -v clang++ >/dev/null 2>&1; then
  refresh
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends clang >/dev/null 2>&1 ||
    fuzz_note "clang could not be installed"
fi
if command -v clang++ >/dev/null 2>&1; then
  major=$(clang++ --version | sed -n 's/.*clang version \([0-9][0-9]*\).*/\1/p' | head -n 1)
  rt="libclang-rt-${major}-dev"
  if [ -n "$major" ] && ! installed "$rt"; then
    refresh
    if apt-cache show "$rt" >/dev/null 2>&1; then
      "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$rt" >/dev/null 2>&1 ||
        fuzz_note "$rt could not be installed"
    else
      # Older releases ship the runtime inside clang's common package, already installed.
      echo "deps: no package $rt on this release; clang's own runtime is used if it has one" >&2
    fi
  fi
fi
exit 0
