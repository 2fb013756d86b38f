#!/usr/bin/env bash
# `make windows`: cross-builds Tobrin.exe from the same source in its two runtime builds and lays
# out what a Windows user gets: build-windows/static/ (C++ runtime linked in), build-windows/shared/
# (libstdc++-6.dll and libgcc_s_seh-1.dll beside the exe), each with the data the program reads,
# and build-windows/Tobrin-windows-x86_64.zip holding both folders and README-windows.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${WINDOWS_DIR:-$root/build-windows}
jobs=${JOBS:-$(nproc)}
cxx=x86_64-w64-mingw32-g++-win32
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

for kind in static shared; do
  cmake -S "$root" -B "$out/cmake-$kind" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTOBRIN_STATIC_RUNTIME=$([ $kind = static ] && echo ON || echo OFF) \
    "${launcher[@]}" >/dev/null
  cmake --build "$out/cmake-$kind" -j "$jobs"
  rm -rf "${out:?}/$kind"
  mkdir -p "$out/$kind"
  cp "$out/cmake-$kind/Tobrin.exe" "$out/$kind/"
  cp -R "$root/data/." "$out/$kind/"
  if [ $kind = shared ]; then
    for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do
      path=$($cxx -print-file-name=$dll)
      [ -f "$path" ] || { echo "$cxx does not know where $dll is (got '$path')" >&2; exit 1; }
      # As this compiler ships them they carry their debugging symbols (about 20 MB).
      x86_64-w64-mingw32-strip --strip-unneeded -o "$out/$kind/$dll" "$path"
    done
  fi
done

# The zip opens to one folder, so unpacking it in Downloads scatters nothing.
stage=$out/zip-stage/Tobrin-windows-x86_64
rm -rf "$out/zip-stage" "$out/Tobrin-windows-x86_64.zip"
mkdir -p "$stage"
cp -R "$out/static" "$out/shared" "$stage/"
sed 's/$/\r/' "$root/docs/README-windows.txt" >"$stage/README-windows.txt"
(cd "$out/zip-stage" && zip -qr -X "$out/Tobrin-windows-x86_64.zip" Tobrin-windows-x86_64)
rm -rf "$out/zip-stage"
ls -l "$out/static/Tobrin.exe" "$out/shared/Tobrin.exe" "$out/Tobrin-windows-x86_64.zip"
