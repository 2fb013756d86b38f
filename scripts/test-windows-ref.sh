#!/usr/bin/env bash
# Windows as a reference, under Wine: builds tools/d3dx_probe and tests/windows with the mingw-w64
# toolchain into build-windows/ref/, then (1) sets what D3DX 9 reads from every file of the real-file
# corpora beside what our readers read and fails on any difference docs/d3dx-reference.md does not
# list (or a listed one that is gone), (2) runs the matrix comparison and (3) the Direct3D 9 drawing
# test. Its own Wine prefix and Xvfb display (:72 unless WINDOWS_REF_DISPLAY says otherwise).
# Exits non-zero on any failure. Needs wine, Xvfb, mingw-w64 and the Linux build's packages.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
# Under `make test-windows` WINDOWS_DIR names the Windows build folder; ours is inside it.
OUT=${WINDOWS_REF_DIR:-${WINDOWS_DIR:-$ROOT/build-windows}/ref}
LINUX_BUILD=${BUILD_DIR:-$ROOT/build}
DISPLAY_NUMBER=${WINDOWS_REF_DISPLAY:-72}
DOC=$ROOT/docs/d3dx-reference.md
JOBS=${JOBS:-$(nproc)}

for tool in wine wineboot wineserver Xvfb x86_64-w64-mingw32-g++-win32 cmake; do
  command -v "$tool" >/dev/null || { echo "test-windows-ref: $tool is not installed" >&2; exit 1; }
done

echo "== building the Windows probe and tests in $OUT"
for part in tools/d3dx_probe tests/windows; do
  dir=$OUT/$(basename "$part")
  [ -f "$dir/CMakeCache.txt" ] ||
    cmake -S "$ROOT/$part" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$dir" -j "$JOBS" >/dev/null
done
if [ ! -f "$LINUX_BUILD/CMakeCache.txt" ]; then
  "$ROOT/scripts/deps.sh" build
  cmake -S "$ROOT" -B "$LINUX_BUILD" >/dev/null
fi
cmake --build "$LINUX_BUILD" -j "$JOBS" --target tobrin_reader_probe >/dev/null

# The display: ours unless one is already served there (a developer's own, kept running).
export DISPLAY=:$DISPLAY_NUMBER
xvfb_pid=""
cleanup() {
  WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
export WINEPREFIX=$OUT/wineprefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
trap cleanup EXIT
. "$ROOT/scripts/wine-session.sh"
start_wine_session

failed=0
cd "$ROOT"

echo "== D3DX 9 and our readers over the real-file corpora"
files=()
for f in data/modeli/*.x data/*.bmp data/modeli/*.bmp tests/data/x/* tests/data/images/*; do
  case "$f" in *.md) continue ;; esac
  files+=("$f")
done
wine "$OUT/d3dx_probe/d3dx_probe.exe" "${files[@]}" 2>/dev/null | tr -d '\r' >"$OUT/d3dx.txt" ||
  { echo "FAIL d3dx_probe.exe did not finish" >&2; failed=1; }
"$LINUX_BUILD/tobrin_reader_probe" "${files[@]}" >"$OUT/ours.txt"
# The files docs/d3dx-reference.md explains: the first cell of each row of its table.
sed -n 's/^| `\([^`]*\)` |.*/\1/p' "$DOC" | sort -u >"$OUT/listed.txt"
# Columns: name, what, detail, pixels from D3DX, then the same four from our readers. What must be
# equal; the pixels (quarter means, 0..255) within 1, the rounding two correct decoders differ by.
paste "$OUT/d3dx.txt" "$OUT/ours.txt" | awk -F'\t' -v listed="$OUT/listed.txt" '
  function close_enough(a, b,   x, y, n, i) {
    if (a == "" || b == "") return 1
    n = split(a, x, /[ ,]/)
    if (split(b, y, /[ ,]/) != n) return 0
    for (i = 1; i <= n; ++i) if (x[i] - y[i] > 1 || y[i] - x[i] > 1) return 0
    return 1
  }
  BEGIN { while ((getline name < listed) > 0) explained[name] = 1 }
  {
    ++compared
    all[$1] = 1
    if ($1 != $5) { print "FAIL the two probes disagree on the order of files: " $1 ", " $5; bad = 1; next }
    if ($2 == $6 && close_enough($4, $8)) {
      if ($1 in explained) { print "FAIL " $1 " is listed as a difference but both read: " $2; bad = 1 }
      next
    }
    ++differ
    status = ($1 in explained) ? "listed" : "FAIL (not in docs/d3dx-reference.md)"
    printf "%s %s\n   D3DX: %s  %s  %s\n   ours: %s  %s  %s\n", status, $1, $2, $3, $4, $6, $7, $8
    if (!($1 in explained)) bad = 1
  }
  END {
    for (name in explained) if (!(name in all)) { print "FAIL " name " is listed but was not compared"; bad = 1 }
    printf "%d files compared, %d differ, every difference %s\n", compared, differ, bad ? "NOT explained" : "explained"
    exit bad
  }' || failed=1

echo "== our matrix builders against D3DX's"
# One line per failing case can run to thousands: the first 20 and the summary are shown.
matrix_status=0
wine "$OUT/windows/matrix_d3dx_test.exe" 2>/dev/null | tr -d '\r' >"$OUT/matrix.txt" ||
  matrix_status=1
grep '^FAIL' "$OUT/matrix.txt" | head -20 || true
grep -v '^FAIL' "$OUT/matrix.txt" || true
[ "$matrix_status" -eq 0 ] || failed=1

echo "== both meshes through Direct3D 9's fixed function"
wine "$OUT/windows/draw_d3d9_test.exe" "$OUT/draw_d3d9.png" 2>/dev/null | tr -d '\r' ||
  failed=1

[ "$failed" -eq 0 ] && echo "test-windows-ref: passed" || echo "test-windows-ref: FAILED"
exit "$failed"
