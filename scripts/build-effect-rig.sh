#!/usr/bin/env bash
# The effect rig of `make test-windows`, never part of the product: vkd3d 1.17 from
# ../shared/vendor/vkd3d-1.17.tar.xz with tests/windows/rig/vkd3d-1.17-fx2.patch, cross-built with
# mingw-w64, and the forwarding d3dcompiler_47.dll of tests/windows/rig/. With these DLLs beside a
# Windows program and WINEDLLOVERRIDES=d3dcompiler_47=n, Wine's D3DX 9 compiles effect files from
# source. Output: $WINDOWS_DIR/effect-rig/dll/ (build-windows/ by default).
# Exits 0 when the DLLs are there, 3 when the tarball is missing (the caller decides whether that
# skips or fails), 1 on any other failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${WINDOWS_DIR:-$root/build-windows}/effect-rig
tarball=${VKD3D_TARBALL:-$root/../shared/vendor/vkd3d-1.17.tar.xz}
rig=$root/tests/windows/rig
jobs=${JOBS:-$(nproc)}
host=x86_64-w64-mingw32

if [ ! -f "$tarball" ]; then
  echo "build-effect-rig: $tarball is missing, so Windows effects cannot be compiled under Wine" >&2
  exit 3
fi
# vkd3d is rebuilt only when the tarball, the patch or this script change; the small DLL of ours
# every time, in a second.
stamp=$(cat "$tarball" "$rig/vkd3d-1.17-fx2.patch" "$0" | sha256sum | cut -d' ' -f1)
if [ -f "$out/build/stamp" ] && [ "$(cat "$out/build/stamp")" = "$stamp" ]; then
  echo "== vkd3d for the effect rig up to date in $out/build"
else
  echo "== building vkd3d 1.17 with our patch for the effect rig in $out"
  rm -rf "$out/src" "$out/build" "$out/dll"
  mkdir -p "$out/src" "$out/build" "$out/include"
  tar -xJf "$tarball" -C "$out/src" --strip-components=1
  (cd "$out/src" && patch -p1 --quiet <"$rig/vkd3d-1.17-fx2.patch")
  # The release tree is a git archive: no configure script yet.
  (cd "$out/src" && ./autogen.sh >"$out/autogen.log" 2>&1) ||
    { echo "build-effect-rig: autogen.sh failed, see $out/autogen.log" >&2; exit 1; }
  # The Vulkan and SPIR-V headers are Debian's; the cross-compiler must see them and nothing else
  # of /usr/include.
  for dir in vulkan vk_video spirv; do
    [ -d "/usr/include/$dir" ] && ln -sfn "/usr/include/$dir" "$out/include/$dir"
  done
  (cd "$out/build" && "$out/src/configure" --host=$host SONAME_LIBVULKAN=vulkan-1.dll \
    --disable-tests --disable-demos WIDL=widl-stable CPPFLAGS="-I$out/include" \
    >"$out/configure.log" 2>&1) ||
    { echo "build-effect-rig: configure failed, see $out/configure.log" >&2; exit 1; }
  # Building the two libraries by name skips `make all`, which is what makes the generated sources.
  generated=$(sed -n '/^widl_headers = /,/^$/p' "$out/src/Makefile.am" | grep -o 'include/[a-z0-9_]*\.h')
  make -C "$out/build" -j "$jobs" $generated include/private/spirv_grammar.h \
    include/private/vkd3d_version.h libs/vkd3d-shader/hlsl.tab.h libs/vkd3d-shader/preproc.tab.h \
    >"$out/make.log" 2>&1 &&
    make -C "$out/build" -j "$jobs" libvkd3d-shader.la libvkd3d-utils.la >>"$out/make.log" 2>&1 ||
    { echo "build-effect-rig: the vkd3d build failed, see $out/make.log" >&2; exit 1; }
  echo "$stamp" >"$out/build/stamp"
fi

rm -rf "$out/dll.new"
mkdir -p "$out/dll.new"
$host-gcc -std=c11 -O2 -Wall -shared -s -o "$out/dll.new/d3dcompiler_47.dll" \
  "$rig/d3dcompiler_47.c" "$rig/d3dcompiler_47.def"
for dll in libvkd3d-shader-1.dll libvkd3d-utils-1.dll libvkd3d-1.dll; do
  $host-strip --strip-unneeded -o "$out/dll.new/$dll" "$out/build/.libs/$dll"
done
libgcc=$($host-gcc-win32 -print-file-name=libgcc_s_seh-1.dll)
$host-strip --strip-unneeded -o "$out/dll.new/libgcc_s_seh-1.dll" "$libgcc"
rm -rf "$out/dll"
mv "$out/dll.new" "$out/dll"
