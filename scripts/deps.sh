#!/usr/bin/env bash
# Installs whatever is missing of Tobrin's Debian packages: `deps.sh build` what building and
# running needs (`make run`), `deps.sh test` that plus what the tests, the fuzz targets and the
# benchmark add (`make test`). The two lists below are the only place packages are named.
set -euo pipefail
BUILD_PACKAGES=(
  build-essential cmake pkg-config make
  libsdl2-dev libepoxy-dev libgl1-mesa-dri libegl-mesa0
  libstb-dev libglm-dev zlib1g-dev libjpeg62-turbo-dev
  libfreetype-dev libfontconfig-dev fonts-liberation
  glslang-dev libspirv-cross-c-shared-dev spirv-tools   # HLSL effect bodies (glslang links SPIRV-Tools)
  xfonts-base                                   # the message box's font under X11
  libx11-dev libxtst-dev xvfb xauth             # make run's screenshot when there is no display
)
TEST_PACKAGES=(
  libgtest-dev
  xdotool x11-apps
  clang libclang-rt-14-dev llvm clang-format    # fuzz targets, sanitizer runtimes, format check
)
case "${1:-test}" in
  build) packages=("${BUILD_PACKAGES[@]}") ;;
  test) packages=("${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
  *) echo "usage: $0 build|test" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
