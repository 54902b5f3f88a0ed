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
  clang-format clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
