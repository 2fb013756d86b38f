#!/usr/bin/env bash
# Runs tobrin from data/. Without a display it runs on a virtual one for a few seconds, saves a
# screenshot of the window, says whether the window showed the scene, asks the program to quit and
# reports where the picture is. It ends with the program's status, or 1 when no scene was seen.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
exe=$build/tobrin
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  cd "$root/data" && exec "$exe"
fi
shot=${TOBRIN_SCREENSHOT:-$root/out/tobrin-screenshot.png}
mkdir -p "$(dirname "$shot")"
echo "No display found: running tobrin on a virtual X display for a few seconds."
export TOBRIN_EXE=$exe TOBRIN_XCTL=$build/tobrin_xctl TOBRIN_SHOT=$shot TOBRIN_DATA=$root/data
exec "$root/scripts/with-xvfb.sh" bash -c '
  cd "$TOBRIN_DATA" || exit 1
  "$TOBRIN_EXE" & pid=$!
  title="Završni rad - Morvita - Dervan"
  scene=1
  if "$TOBRIN_XCTL" wait "$title" 20; then
    sleep 3
    "$TOBRIN_XCTL" shot "$title" "$TOBRIN_SHOT" && echo "Screenshot: $TOBRIN_SHOT"
    "$TOBRIN_XCTL" scene "$title" && scene=0
    "$TOBRIN_XCTL" close "$title"
  else
    echo "The window did not appear within 20 s."
    kill "$pid" 2>/dev/null
  fi
  # A close that never arrives must not keep make run waiting.
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    echo "tobrin did not end within 10 s of the close request; stopping it."
    kill "$pid"; sleep 2; kill -9 "$pid" 2>/dev/null
  fi
  wait "$pid"; status=$?
  echo "tobrin exited with status $status"
  [ $status -eq 0 ] && [ $scene -ne 0 ] && exit 1
  exit $status'
