#!/usr/bin/env bash
# The cases of docs/bad-inputs.md (as tests/e2e/bad_inputs_e2e_test.cpp spoils them) run against
# the Windows build under Wine: for each, a fresh copy of build-windows/static with one file
# spoilt, Tobrin.exe started, the "Fx Compile Error" box dismissed, the main window closed with
# Escape, and one line printed: CASE<TAB>what was seen (box, window, exit status, ERR_LOG.txt, the
# program's own lines on standard error). It records the table's Windows column; it judges nothing.
# Needs the Windows build (make windows), wine, Xvfb and xdotool. Usage: windows-bad-inputs.sh [CASE...]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${WINDOWS_REF_DIR:-${WINDOWS_DIR:-$ROOT/build-windows}/ref}
BUILD=${WINDOWS_DIR:-$ROOT/build-windows}/static
DISPLAY_NUMBER=${WINDOWS_REF_DISPLAY:-72}
STAGE=$OUT/bad-inputs
TITLE="Morvita"  # part of the main window's title that Wine shows in UTF-8 on the X side
BOX="Fx Compile Error"
LIMIT=${CASE_SECONDS:-45}  # seconds a case may take before its program is ended
[ -f "$BUILD/Tobrin.exe" ] || { echo "no $BUILD/Tobrin.exe: run make windows first" >&2; exit 1; }

export DISPLAY=:$DISPLAY_NUMBER WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=$OUT/wineprefix
xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ -d "$STAGE" ] && chmod -R u+rwX "$STAGE" 2>/dev/null && rm -rf "$STAGE"
}
trap cleanup EXIT
. "$ROOT/scripts/wine-session.sh"
start_wine_session

# ---- Spoilers: each takes the file's path ----------------------------------------------------
remove() { rm -rf "$1"; }
empty() { : >"$1"; }
halve() { local n; n=$(stat -c %s "$1"); truncate -s $((n / 2)) "$1"; }
copy_of() { cp "$(dirname "$1")/$2" "$1.tmp" && mv "$1.tmp" "$1"; }
directory() { rm -rf "$1" && mkdir "$1"; }
huge() { : >"$1" && truncate -s 300M "$1"; }
fifo() { rm -rf "$1" && mkfifo "$1"; }
device() { rm -rf "$1" && ln -s /dev/zero "$1"; }
unreadable() { chmod 000 "$1"; }
text() { printf '%s' "$2" >"$1"; }
garbage_middle() {  # invalid UTF-8 and a NUL over six bytes in the middle
  local n; n=$(stat -c %s "$1")
  printf '\xff\xfe\x00\xc3\x28\x80' | dd of="$1" bs=1 seek=$((n / 2)) conv=notrunc status=none
}
garbage_header() { head -c 32 /dev/zero | tr '\0' '\377' | dd of="$1" conv=notrunc status=none; }
oversized_bmp() {  # 20000 x 20000 claimed (little-endian 0x4E20 at bytes 18 and 22)
  printf '\x20\x4e\x00\x00\x20\x4e\x00\x00' | dd of="$1" bs=1 seek=18 conv=notrunc status=none
}
chair_texture_named() { NAME=$2 perl -0pi -e 's/"drvo\.bmp"/"$ENV{NAME}"/' "$1"; }
settings_huge() {
  printf 'number_objects\n3\n' >"$1" && truncate -s 64M "$1" && printf '\nnumber_objects\n1\n' >>"$1"
}
effect_prepend() { { printf 'float tooLarge = 1e99;\n'; cat "$1"; } >"$1.tmp" && mv "$1.tmp" "$1"; }
effect_append_garbage() { printf '\n\xff\xfe\xc3\x28\n' >>"$1"; }
fragment_effect() {  # the e2e test's effects of our own, around a fragment body
  printf 'float kAmbient = 0.5;\nvertex_shader VS {\n  void main() { gl_Position = vec4(inPosition, 1.0); }\n}\nfragment_shader FS {\n%s}\ntechnique ColorAnimation { pass P0 { VertexShader = VS; FragmentShader = FS; } }\n' "$2" >"$1"
}
deep_expression() {
  local sum; sum="a$(printf '+a%.0s' $(seq 24999))"
  fragment_effect "$1" "out vec4 c; void main() { float a = kAmbient; c = vec4($sum); }
"
}
many_errors() {
  local body="out vec4 c; void main() {
"
  body+=$(for i in $(seq 0 1499); do printf '  c += undeclared%d;\n' "$i"; done)
  fragment_effect "$1" "$body
}
"
}
wrong_contract() {
  printf '%s\n' 'float3 kAmbient; float kDifuse; float3 light_position; float3 iAmbient;' \
    'float fCosTime0_X; float fSinTime0_X; float4x4 matViewProjection; float matWorld;' \
    'texture inTexture;' 'vertex_shader VS {' \
    '  void main() { gl_Position = matViewProjection * vec4(inPosition, matWorld); }' '}' \
    'fragment_shader FS {' '  out vec4 c;' '  void main() { c = vec4(kAmbient * iAmbient, 1.0); }' \
    '}' 'technique VertexAnimation { pass P0 { VertexShader = VS; FragmentShader = FS; } }' >"$1"
}

# CASE FILE SPOILER [ARGUMENT]
CASES=(
  "settings_missing postavke.txt remove" "settings_empty postavke.txt empty"
  "settings_truncated postavke.txt halve" "settings_wrong_type postavke.txt copy_of tekstura2.bmp"
  "settings_directory postavke.txt directory"
  "settings_out_of_range postavke.txt text number_objects\n999\nnumber_objects_step\n-5\nlight_position\n0\x201e39\x2010\nkAmbient\n0.5\n"
  "settings_huge postavke.txt settings_huge" "settings_fifo postavke.txt fifo"
  "settings_device postavke.txt device"
  "settings_garbage postavke.txt text number_objects\n3\n\xff\xfe\xc3\x28\n5\nkDifuse\n\xc3\x28\n"
  "settings_unreadable postavke.txt unreadable"
  "effect_missing Za_rad_2.fx remove" "effect_empty Za_rad_2.fx empty"
  "effect_truncated Za_rad_2.fx halve" "effect_wrong_type Za_rad_2.fx copy_of tekstura2.bmp"
  "effect_directory Za_rad_2.fx directory" "effect_fifo Za_rad_2.fx fifo"
  "effect_out_of_range Za_rad_2.fx effect_prepend" "effect_huge Za_rad_2.fx huge"
  "effect_garbage Za_rad_2.fx effect_append_garbage" "effect_unreadable Za_rad_2.fx unreadable"
  "effect_compiler_crash Za_rad_2.fx deep_expression" "effect_many_errors Za_rad_2.fx many_errors"
  "effect_wrong_contract Za_rad_2.fx wrong_contract"
  "chair_texture_name_climbs modeli/chair.x chair_texture_named ../../../../dev/stdin"
  "chair_texture_name_escapes modeli/chair.x chair_texture_named \x1b[31mred.bmp"
  "sphere_fifo modeli/sphere.x fifo" "chair_texture_fifo modeli/drvo.bmp fifo"
)
for mesh in sphere chair; do
  other=$([ $mesh = sphere ] && echo ../tekstura2.bmp || echo drvo.bmp)
  range=$([ $mesh = sphere ] &&
    echo 'xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,7;; }\n' ||
    echo 'xof 0303txt 0032\nMesh { 4294967295; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n')
  CASES+=("${mesh}_missing modeli/$mesh.x remove" "${mesh}_empty modeli/$mesh.x empty"
    "${mesh}_truncated modeli/$mesh.x halve" "${mesh}_wrong_type modeli/$mesh.x copy_of $other"
    "${mesh}_directory modeli/$mesh.x directory" "${mesh}_out_of_range modeli/$mesh.x text ${range// /\\x20}"
    "${mesh}_huge modeli/$mesh.x huge" "${mesh}_garbage modeli/$mesh.x garbage_middle"
    "${mesh}_unreadable modeli/$mesh.x unreadable")
done
for texture in sphere_texture:tekstura2.bmp:modeli/sphere.x chair_texture:modeli/drvo.bmp:chair.x; do
  IFS=: read -r stem file other <<<"$texture"
  CASES+=("${stem}_missing $file remove" "${stem}_empty $file empty" "${stem}_truncated $file halve"
    "${stem}_wrong_type $file copy_of $other" "${stem}_directory $file directory"
    "${stem}_out_of_range $file oversized_bmp" "${stem}_huge $file huge"
    "${stem}_garbage $file garbage_header" "${stem}_unreadable $file unreadable")
done

# The program's own lines on standard error: Wine's own start with a thread number, and the
# effect compiler's error text (the box's, echoed) with "<anonymous>:"; those are only counted.
program_lines() {
  local compiler
  compiler=$(tr -d '\r' <"$1" | grep -ac '^<anonymous>:')
  [ "$compiler" -gt 0 ] && printf '[%s lines of the compiler'"'"'s text] ' "$compiler"
  tr -d '\r' <"$1" | grep -av '^[0-9a-f]\{4\}:\(fixme\|err\|warn\|trace\)\|^<anonymous>:' |
    head -c 400 | tr '\n' '|'
}

run_case() {
  local name=$1 file=$2 spoiler=$3 argument=${4:-}
  local dir=$STAGE/$name
  rm -rf "$dir" && mkdir -p "$STAGE" && cp -R "$BUILD" "$dir"
  "$spoiler" "$dir/$file" "$(printf '%b' "$argument")"
  local wine_cmd=(wine Tobrin.exe) server=(wineserver -k)
  # Root reads any file, so an unreadable file is read by "nobody", with a prefix of its own.
  if [ "$spoiler" = unreadable ] && [ "$(id -u)" -eq 0 ]; then
    chmod 777 "$dir"
    local prefix=$OUT/wineprefix-nobody
    if [ ! -f "$prefix/system.reg" ]; then
      mkdir -p "$prefix" && chown nobody "$prefix" "$OUT"
      runuser -u nobody -- env HOME=/tmp WINEPREFIX="$prefix" sh -c 'wineboot -i >/dev/null 2>&1; wineserver -w'
    fi
    wine_cmd=(runuser -u nobody -- env HOME=/tmp WINEPREFIX="$prefix" wine Tobrin.exe)
    server=(runuser -u nobody -- env HOME=/tmp WINEPREFIX="$prefix" wineserver -k)
  fi
  (cd "$dir" && exec "${wine_cmd[@]}" >"$dir.log" 2>&1) &
  # The box comes after the window (the effect is built once the device exists), so Escape goes
  # to the window only when it has stood for 4 s with no box.
  local pid=$! box="" window="" how="ended by itself" start=$SECONDS quiet_since=""
  while kill -0 "$pid" 2>/dev/null && [ $((SECONDS - start)) -lt "$LIMIT" ]; do
    local b w
    b=$(xdotool search --name "$BOX" 2>/dev/null | head -1)
    if [ -n "$b" ]; then
      box="box, " quiet_since=""
      sleep 0.3
      timeout 5 xdotool windowfocus --sync "$b" 2>/dev/null
      xdotool key Return
      sleep 0.5
      continue
    fi
    w=$(xdotool search --name "$TITLE" 2>/dev/null | head -1)
    if [ -n "$w" ]; then
      window="window, "
      [ -n "$quiet_since" ] || quiet_since=$SECONDS
      if [ $((SECONDS - quiet_since)) -ge 4 ]; then
        how="closed by Escape"
        timeout 5 xdotool windowfocus --sync "$w" 2>/dev/null
        xdotool key Escape
        for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        break
      fi
    fi
    sleep 0.2
  done
  local status
  if kill -0 "$pid" 2>/dev/null; then
    # The program is a process of the prefix's server, not always of this shell: the server ends it.
    "${server[@]}" 2>/dev/null
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    status="no exit within $LIMIT s (ended)"
  else
    wait "$pid"; status="$how, exit $?"
  fi
  local log=""
  [ -f "$dir/ERR_LOG.txt" ] && log=", ERR_LOG.txt: $(tr -d '\r\n' <"$dir/ERR_LOG.txt" | head -c 200)"
  printf '%s\t%s%s%s%s; stderr: %s\n' "$name" "$box" "$window" "$status" "$log" "$(program_lines "$dir.log")"
  chmod -R u+rwX "$dir" 2>/dev/null; rm -rf "$dir" "$dir.log"
}

for entry in "${CASES[@]}"; do
  read -r name file spoiler argument <<<"$entry"
  if [ $# -gt 0 ]; then
    wanted=0
    for w in "$@"; do [ "$w" = "$name" ] && wanted=1; done
    [ $wanted -eq 1 ] || continue
  fi
  run_case "$name" "$file" "$spoiler" "$argument"
done
