#!/usr/bin/env bash
# `make test-windows`: both Windows builds (build-windows/static, build-windows/shared) and the
# effect viewer (build-windows/cmake-static/tobrin-fxview.exe) under Wine, on this project's own
# Wine prefix (build-windows/wineprefix) and its own Xvfb display (:71), so another Wine or X user
# on the machine is never touched. Then the reference checks of scripts/test-windows-ref.sh and the
# shading checks of scripts/test-windows-shading.sh.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${WINDOWS_DIR:-$root/build-windows}
build=${BUILD_DIR:-$root/build}
display=${TOBRIN_WINE_DISPLAY:-:71}
export WINEPREFIX=$out/wineprefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko download dialog in a prefix made without a network.
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=$display

if [ -e "/tmp/.X11-unix/X${display#:}" ]; then
  echo "Display $display is in use; set TOBRIN_WINE_DISPLAY to a free one." >&2
  exit 1
fi
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k 2>/dev/null  # this prefix's server only
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

# A run that races the prefix's creation crashes, so the set-up finishes first.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi
wineserver -w

status=0
for kind in static shared; do
  echo "== Tobrin.exe ($kind) under Wine"
  TOBRIN_WINDOWS_DIR=$out/$kind TOBRIN_WINDOW_INFO=$out/cmake-static/window_info.exe \
    "$build/tests/wine_exe_test" || status=1
done

echo "== tobrin-fxview.exe under Wine"
TOBRIN_FXVIEW_EXE=$out/cmake-static/tobrin-fxview.exe "$build/tests/wine_fxview_test" || status=1

if [ -f "$root/scripts/test-windows-ref.sh" ]; then
  echo "== Reference checks (scripts/test-windows-ref.sh)"
  # It keeps its own Wine prefix and display, so ours are not handed on.
  env -u WINEPREFIX -u DISPLAY -u WINEDEBUG -u WINEDLLOVERRIDES WINDOWS_DIR="$out" BUILD_DIR="$build" \
    bash "$root/scripts/test-windows-ref.sh" || status=1
fi
if [ -f "$root/scripts/test-windows-shading.sh" ]; then
  echo "== The Windows build's shading against the Linux build's (scripts/test-windows-shading.sh)"
  env -u WINEPREFIX -u DISPLAY -u WINEDEBUG -u WINEDLLOVERRIDES WINDOWS_DIR="$out" BUILD_DIR="$build" \
    bash "$root/scripts/test-windows-shading.sh" || status=1
fi
exit $status
