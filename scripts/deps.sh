#!/usr/bin/env bash
# The one list of Debian packages Tobrin needs to build, run and test. Installs whatever is missing.
# Used by `make run`, `make test` and CI.
set -euo pipefail
PACKAGES=(
  build-essential cmake pkg-config make
  libsdl2-dev libepoxy-dev libgl1-mesa-dri libegl-mesa0
  libassimp-dev libstb-dev libglm-dev
  libfreetype-dev libfontconfig-dev fonts-liberation
  libgtest-dev
  libx11-dev libxtst-dev xvfb xauth xdotool x11-apps xfonts-base
  clang libclang-rt-14-dev llvm  # fuzz targets: libFuzzer and sanitizer runtimes, symbolizer
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
