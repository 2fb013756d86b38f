#!/usr/bin/env bash
# Installs whatever is missing of Tobrin's Debian packages: `deps.sh build` what building and
# running needs (`make run`), `deps.sh test` that plus what the tests, the fuzz targets and the
# benchmark add (`make test`); `deps.sh windows` the cross-build of Tobrin.exe (`make windows`),
# `deps.sh windows-test` Wine and what its tests drive it with (`make test-windows`). The lists
# below are the only place packages are named; the first two never pull in Wine or mingw-w64.
set -euo pipefail
BUILD_PACKAGES=(
  build-essential cmake pkg-config make
  libsdl2-dev libepoxy-dev libgl1-mesa-dri
  libegl1 libegl-mesa0                          # the effect check's and tobrin-fxc's windowless contexts
  libstb-dev libglm-dev zlib1g-dev libjpeg62-turbo-dev
  libfreetype-dev libfontconfig-dev fonts-liberation
  # HLSL effects: glslang's CMake package names glslangValidator (glslang-tools), glslang links
  # SPIRV-Tools
  glslang-dev glslang-tools libspirv-cross-c-shared-dev spirv-tools
  xfonts-base                                   # the message box's font under X11
  libx11-dev libxtst-dev xvfb xauth             # make run's screenshot when there is no display
)
TEST_PACKAGES=(
  libgtest-dev
  xdotool x11-apps
  clang libclang-rt-14-dev llvm clang-format    # fuzz targets, sanitizer runtimes, format check
)
WINDOWS_PACKAGES=(
  cmake make zip binutils-mingw-w64-x86-64       # strip; objdump -p for the imports
  g++-mingw-w64-x86-64-win32 mingw-w64-x86-64-dev  # 64-bit Windows, win32 threads; d3d9, d3dx9_42
)
# Installed without recommends, so the libraries Wine loads at run time are named: GL and the X
# extensions for the device and the display mode, a font that stands in for Arial.
WINDOWS_TEST_PACKAGES=(
  wine wine64
  xvfb xauth xdotool
  libgl1 libgl1-mesa-dri libxrandr2 libxrender1 libxi6 libxcursor1 libxcomposite1 libxinerama1
  libxxf86vm1 libxfixes3 fonts-liberation
  # The effect rig (scripts/build-effect-rig.sh): vkd3d from its release tree, cross-built
  xz-utils patch autoconf automake libtool pkg-config bison flex perl libjson-perl
  gcc-mingw-w64-x86-64-win32 wine64-tools spirv-headers libvulkan-dev
  python3                                        # scripts/compare-pictures.py
)
case "${1:-test}" in
  build) packages=("${BUILD_PACKAGES[@]}") ;;
  test) packages=("${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
  windows) packages=("${WINDOWS_PACKAGES[@]}") ;;
  windows-test) packages=("${WINDOWS_PACKAGES[@]}" "${WINDOWS_TEST_PACKAGES[@]}") ;;
  *) echo "usage: $0 build|test|windows|windows-test" >&2; exit 2 ;;
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
