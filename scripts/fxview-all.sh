#!/usr/bin/env bash
# scripts/fxview-all.sh linux|windows OUTDIR [BUILD_FOLDER]
# Runs tobrin-fxview over every effect file in tests/data/fx. OUTDIR/<the file's folder>/ gets its
# pictures and <stem>.log (the tool's output, then "exit status N"); scripts/compare-effects.sh
# compares two such folders. Prints a line per file and the totals.
#   linux    BUILD_FOLDER (default $BUILD_DIR or build/) holds tobrin-fxview; runs on a private
#            Xvfb (scripts/with-xvfb.sh).
#   windows  BUILD_FOLDER (default $WINDOWS_DIR or build-windows/) holds tobrin-fxview.exe, itself
#            or in cmake-static/ (scripts/build-windows.sh). Runs under Wine with its own prefix
#            ($FXVIEW_WINEPREFIX, default BUILD_FOLDER/fxview-wineprefix) on its own Xvfb display
#            (:$FXVIEW_DISPLAY, default 74). The exe runs from BUILD_FOLDER/fxview-run/, where the
#            DLLs of $FXVIEW_DLL_DIR (when set) are copied beside it; $WINEDLLOVERRIDES is passed on,
#            after the prefix's own "mscoree,mshtml=" (no Mono or Gecko dialog).
# FXVIEW_SKIP_FILE names a list of effect files (paths under tests/data/fx, one a line, `#` starts
# a comment) not to run, each reported as skipped with the comment on its line.
# Ends 0 when the tool ran on every file, whatever it made of them; 1 when a run crashed, hung
# (FXVIEW_TIMEOUT seconds, default 300) or could not start (no device, bad usage), or on bad usage
# of this script. A run that a signal or the timeout ended runs a second time, which decides.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage() { echo "usage: scripts/fxview-all.sh linux|windows OUTDIR [BUILD_FOLDER]" >&2; exit 1; }
[ $# -ge 2 ] && [ $# -le 3 ] || usage
mode=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
timeout=${FXVIEW_TIMEOUT:-300}

case "$mode" in
  linux)
    build=$(cd "${3:-${BUILD_DIR:-$root/build}}" && pwd)
    tool=$build/tobrin-fxview
    [ -x "$tool" ] || {
      echo "fxview-all: no $tool (cmake --build $build --target tobrin_fxview)" >&2
      exit 1
    }
    # One display for the whole run.
    if [ -z "${FXVIEW_ON_XVFB:-}" ]; then
      FXVIEW_ON_XVFB=1 exec "$root/scripts/with-xvfb.sh" "$0" linux "$out" "$build"
    fi
    command=("$tool")
    ;;
  windows)
    build=$(cd "${3:-${WINDOWS_DIR:-$root/build-windows}}" && pwd)
    exe=$build/tobrin-fxview.exe
    [ -f "$exe" ] || exe=$build/cmake-static/tobrin-fxview.exe
    [ -f "$exe" ] || {
      echo "fxview-all: no tobrin-fxview.exe in $build or $build/cmake-static (scripts/build-windows.sh)" >&2
      exit 1
    }
    for tool in wine wineboot wineserver Xvfb; do
      command -v "$tool" >/dev/null || { echo "fxview-all: $tool is not installed" >&2; exit 1; }
    done
    stage=$build/fxview-run
    rm -rf "$stage" && mkdir -p "$stage"
    cp "$exe" "$stage/"
    if [ -n "${FXVIEW_DLL_DIR:-}" ]; then
      found=0
      for dll in "$FXVIEW_DLL_DIR"/*.dll "$FXVIEW_DLL_DIR"/*.DLL; do
        [ -f "$dll" ] && cp "$dll" "$stage/" && found=1
      done
      [ $found = 1 ] || { echo "fxview-all: no DLL in FXVIEW_DLL_DIR=$FXVIEW_DLL_DIR" >&2; exit 1; }
    fi
    export WINEPREFIX=${FXVIEW_WINEPREFIX:-$build/fxview-wineprefix} WINEARCH=win64
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
    DISPLAY_NUMBER=${FXVIEW_DISPLAY:-74}
    export DISPLAY=:$DISPLAY_NUMBER
    cleanup() {
      wineserver -k 2>/dev/null || true  # this prefix's server only
      if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    }
    xvfb_pid=""
    trap cleanup EXIT
    . "$root/scripts/wine-session.sh"
    start_wine_session
    command=(wine "$stage/tobrin-fxview.exe")
    ;;
  *) usage ;;
esac

cd "$root"
files=()
while IFS= read -r f; do files+=("$f"); done < <(find tests/data/fx -name '*.fx' | LC_ALL=C sort)
effects=0 built=0 failed=0 drawn=0 undrawn=0 broken=0
skipped=0 retried=0
for file in "${files[@]}"; do
  rel=${file#tests/data/fx/}
  dir=$out/$(dirname "$rel")
  log=$dir/$(basename "$rel" .fx).log
  mkdir -p "$dir"
  if [ -n "${FXVIEW_SKIP_FILE:-}" ]; then
    listed=$(grep -F -m1 -- "$rel " "$FXVIEW_SKIP_FILE" || true)
    if [ -n "$listed" ]; then
      skipped=$((skipped + 1))
      echo "skipped: ${listed#*#}" >"$log"
      echo "$rel: skipped:${listed#*#}"
      continue
    fi
  fi
  status=0
  timeout "$timeout" "${command[@]}" --out "$dir" "$file" >"$log.part" 2>&1 || status=$?
  first=""
  if [ "$status" -ge 124 ]; then
    # A run ended by a signal or the timeout runs once more: under Wine a run now and then dies of
    # a SIGKILL that no file explains. One that fails again is reported as it ended.
    first=$status
    retried=$((retried + 1))
    status=0
    timeout "$timeout" "${command[@]}" --out "$dir" "$file" >"$log.part" 2>&1 || status=$?
  fi
  # Wine's console ends lines with CR LF.
  tr -d '\r' <"$log.part" >"$log" && rm "$log.part"
  [ -z "$first" ] || echo "the first run ended with status $first; this is the second" >>"$log"
  echo "exit status $status" >>"$log"
  effects=$((effects + 1))
  wrote=$(grep -c ': wrote ' "$log" || true)
  missed=$(grep -c ': not drawn: ' "$log" || true)
  drawn=$((drawn + wrote))
  undrawn=$((undrawn + missed))
  case $status in
    0 | 4) built=$((built + 1)); what="built, $wrote drawn, $missed not" ;;
    1) failed=$((failed + 1)); what="did not build: $(grep -m1 -i 'error' "$log" || true)" ;;
    *) broken=$((broken + 1)); what="FAILED with status $status (see $log)" ;;
  esac
  [ -z "$first" ] || what="$what (run twice: the first ended with status $first)"
  echo "$rel: $what"
done
echo "fxview-all ($mode): $effects effects, $built built ($drawn techniques drawn, $undrawn not)," \
  "$failed did not build, $broken runs failed, $skipped skipped, $retried run twice"
[ "$broken" -eq 0 ]
