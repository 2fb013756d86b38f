#!/usr/bin/env bash
# Compares the frames two builds of tobrin draw from data/ under a stopped clock: each runs on its
# own virtual display with libtobrin_frozen_clock.so, its window is captured after 3 s, and the
# pixels outside the overlay (top-left 240 x 80) are compared. Prints the count of pixels that
# differ; ends 0 when none does. Usage: scripts/compare-frames.sh OLD_BUILD_DIR NEW_BUILD_DIR [ARGS]
# (ARGS: keys to tap before the capture, e.g. space for the other technique).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
old=$(cd "$1" && pwd) new=$(cd "$2" && pwd)
shift 2
out=$root/out/frames
mkdir -p "$out"
shim=$new/libtobrin_frozen_clock.so
for side in old new; do
  build=${!side}
  TOBRIN_EXE=$build/tobrin TOBRIN_XCTL=$new/tobrin_xctl TOBRIN_SHIM=$shim \
  TOBRIN_SHOT=$out/$side.png TOBRIN_KEYS="$*" "$root/scripts/with-xvfb.sh" bash -c '
    cd "'"$root"'/data"
    LD_PRELOAD=$TOBRIN_SHIM "$TOBRIN_EXE" & pid=$!
    title="Završni rad - Morvita - Dervan"
    "$TOBRIN_XCTL" wait "$title" 20
    for key in $TOBRIN_KEYS; do "$TOBRIN_XCTL" key "$title" "$key"; done
    sleep 3
    "$TOBRIN_XCTL" shot "$title" "$TOBRIN_SHOT"
    "$TOBRIN_XCTL" close "$title"
    wait $pid'
done
python3 - "$out/old.png" "$out/new.png" "$root/scripts" <<'PY'
import sys
sys.path.insert(0, sys.argv[3])
from pictures import read_png  # noqa: E402
w1, h1, a = read_png(sys.argv[1]); w2, h2, b = read_png(sys.argv[2])
if (w1, h1) != (w2, h2): sys.exit(f"sizes differ: {w1}x{h1} and {w2}x{h2}")
diff = lit = 0
for y in range(h1):
    for x in range(w1):
        if x < 240 and y < 80: continue
        p, q = a[y][x * 3:x * 3 + 3], b[y][x * 3:x * 3 + 3]
        lit += max(p) > 0
        diff += p != q
print(f"{diff} of {w1 * h1 - 240 * 80} pixels outside the overlay differ ({lit} lit in the old frame)")
sys.exit(1 if diff else 0)
PY
