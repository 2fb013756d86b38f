#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz and runs each for a while, one
# after another. Usage: scripts/fuzz.sh [seconds per target, default 60] [target names...]
# Each run starts from the committed seeds (fuzz/corpus/<name>), the inputs that once failed
# (fuzz/regressions/<name>) and the shipped data files; what it finds is kept in
# build-fuzz/corpus/<name> for the next run; crashes go to build-fuzz/crashes/<name>.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(settings effect fx asm mesh_x image compiled_effect)

cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DTOBRIN_FUZZ=ON >/dev/null
known=$(cmake --build "$build" --target help)
built=()
for t in "${targets[@]}"; do
  # A harness whose code has not landed yet is not configured; say so rather than fail.
  if grep -qx "\.\.\. fuzz_$t" <<<"$known"; then
    built+=("$t")
  else
    echo "fuzz_$t: no such target in this tree; skipped"
  fi
done
[ ${#built[@]} -eq 0 ] && { echo "no fuzz targets to run"; exit 1; }
cmake --build "$build" -j "$(nproc)" --target "${built[@]/#/fuzz_}"

# Per-target files from data/ that make good seeds; larger inputs than these are never needed.
data_seeds() {
  case $1 in
    settings) ls "$root"/data/postavke.txt ;;
    effect | fx) ls "$root"/data/*.fx ;;
    mesh_x) ls "$root"/data/modeli/*.x ;;
    image) find "$root/data" -type f \( -iname '*.bmp' -o -iname '*.png' -o -iname '*.jpg' \
             -o -iname '*.tga' \) ;;
  esac 2>/dev/null || true
}
max_len() {
  case $1 in
    settings) echo 4096 ;; effect | fx | asm | compiled_effect) echo 65536 ;; mesh_x) echo 1048576 ;;
    image) echo 262144 ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Leaks inside system libraries (the importer's error paths) are theirs; see the file.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/fuzz/sanitizer/lsan.supp:print_suppressions=0}
status=0
summary=()
for t in "${built[@]}"; do
  work=$build/corpus/$t seeds=$build/data-seeds/$t crashes=$build/crashes/$t
  mkdir -p "$work" "$crashes"
  rm -rf "$seeds" && mkdir -p "$seeds"
  data_seeds "$t" | while read -r f; do cp "$f" "$seeds/"; done
  log=$build/fuzz-$t.log
  # libFuzzer refuses a corpus directory that does not exist, and git keeps no empty ones.
  inputs=()
  for d in "$root/fuzz/corpus/$t" "$root/fuzz/regressions/$t"; do [ -d "$d" ] && inputs+=("$d"); done
  echo "fuzz_$t: ${seconds}s, log $log"
  set +e
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 \
    -max_len="$(max_len "$t")" -print_final_stats=1 -artifact_prefix="$crashes/" \
    "$work" "${inputs[@]}" "$seeds" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  took=$(grep -o 'Done [0-9]* runs in [0-9]* second' "$log" | grep -o 'in [0-9]*' | grep -o '[0-9]*' \
           || echo '?')
  if [ $rc -ne 0 ]; then
    status=1
    summary+=("fuzz_$t: FAILED (exit $rc) after $runs runs; see $log and $crashes")
    grep -E 'ERROR|runtime error|invariant|SUMMARY' "$log" | head -5 || true
  else
    summary+=("fuzz_$t: ok, $runs runs in ${took}s, corpus $(ls "$work" | wc -l) files")
  fi
done
printf '%s\n' "${summary[@]}"
exit $status
