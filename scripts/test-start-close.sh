#!/usr/bin/env bash
# Starts tobrin RUNS times in a row (default 200) against one virtual X display while a build of
# the project runs beside it, and asks each run to close: odd runs as soon as the window shows,
# while the program still loads; even runs once the first frame is presented. Every run must open
# its window and end with status 0: within 2 s of the close request once drawing, within 10 s
# while loading (the request waits until loading ends). Prints a line for each run that does not,
# and the times: start to window, start to first frame, close request to exit.
#   scripts/test-start-close.sh [RUNS]      (BUILD_DIR: where tobrin and tobrin_xctl are)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export TOBRIN_ROOT=$root TOBRIN_BUILD=${BUILD_DIR:-$root/build} TOBRIN_RUNS=${1:-200}
for tool in tobrin tobrin_xctl; do
  [ -x "$TOBRIN_BUILD/$tool" ] || { echo "test-start-close: no $TOBRIN_BUILD/$tool" >&2; exit 2; }
done
exec "$root/scripts/with-xvfb.sh" bash -c '
set -uo pipefail
title="Završni rad - Morvita - Dervan"
work=$(mktemp -d /tmp/tobrin-start-close.XXXXXX)
load_pid=
finish() { [ -n "$load_pid" ] && kill -- -"$load_pid" 2>/dev/null; rm -rf "$work"; }
trap finish EXIT
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# The load: the GL-free library built from scratch again and again, in its own process group.
cmake -S "$TOBRIN_ROOT" -B "$work/load" >/dev/null
setsid bash -c "while :; do cmake --build \"$work/load\" --target tobrin_formats --clean-first \
  -j $(nproc) >/dev/null 2>&1; done" & load_pid=$!

cd "$TOBRIN_ROOT/data"
failed=0
for run in $(seq "$TOBRIN_RUNS"); do
  started=$(now_ms)
  "$TOBRIN_BUILD/tobrin" >"$work/log" 2>&1 & pid=$!
  if ! "$TOBRIN_BUILD/tobrin_xctl" wait "$title" 20; then
    kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null; status=$?
    echo "run $run: no window within 20 s (status $status): $(head -c 300 "$work/log")"
    failed=$((failed + 1)); continue
  fi
  shown=$(now_ms)
  if [ $((run % 2)) -eq 0 ]; then
    kind=drawing limit=2000
    if ! "$TOBRIN_BUILD/tobrin_xctl" drawn "$title" 20; then
      kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null
      echo "run $run: no frame within 20 s of the window"
      failed=$((failed + 1)); continue
    fi
    echo $(($(now_ms) - started)) >>"$work/frame-ms"
  else
    kind=loading limit=10000
  fi
  "$TOBRIN_BUILD/tobrin_xctl" close "$title"
  asked=$(now_ms)
  while kill -0 $pid 2>/dev/null && [ $(($(now_ms) - asked)) -lt $limit ]; do sleep 0.01; done
  if kill -0 $pid 2>/dev/null; then
    kill -9 $pid; wait $pid 2>/dev/null
    echo "run $run: still running $((limit / 1000)) s after the close request ($kind)"
    failed=$((failed + 1)); continue
  fi
  wait $pid; status=$?
  ended=$(now_ms)
  if [ $status -ne 0 ]; then
    echo "run $run: ended with status $status: $(head -c 300 "$work/log")"
    failed=$((failed + 1)); continue
  fi
  echo $((shown - started)) >>"$work/window-ms"
  echo $((ended - asked)) >>"$work/exit-$kind-ms"
done

summary() {  # median and largest of a file of numbers
  [ -s "$1" ] || { echo "none"; return; }
  sort -n "$1" | awk "{ v[NR] = \$1 } END { printf \"median %d ms, largest %d ms\", v[int((NR + 1) / 2)], v[NR] }"
}
echo "start-close: $TOBRIN_RUNS runs with a build beside them (load $(cut -d" " -f1 /proc/loadavg))"
echo "  start to window: $(summary "$work/window-ms")"
echo "  start to first frame: $(summary "$work/frame-ms")"
echo "  close request to exit, once drawing: $(summary "$work/exit-drawing-ms")"
echo "  close request to exit, while loading: $(summary "$work/exit-loading-ms")"
echo "$((TOBRIN_RUNS - failed)) passed, $failed failed"
[ $failed -eq 0 ]
'
