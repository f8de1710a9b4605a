#!/usr/bin/env bash
# Builds a static libzip for the MinGW-w64 target from Debian's own source
# package and installs it into <build folder>/libzip. Skips everything when
# that prefix already holds an installed libzip.
#
# Usage: scripts/build-libzip-mingw.sh <build folder of the windows preset>
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(realpath -m "${1:?build folder expected}")
prefix="$build/libzip"
if [ -f "$prefix/lib/cmake/libzip/libzip-config.cmake" ] && [ -f "$prefix/lib/libzip.a" ]; then
  echo "libzip for MinGW already in $prefix"
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

# Source packages come from the same Debian mirrors as the binary ones.
src_list=/etc/apt/sources.list.d/lumaro-deb-src.sources
if ! apt-get source --print-uris libzip >/dev/null 2>&1; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | "${sudo_cmd[@]}" tee "$src_list" >/dev/null
  else
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/lumaro-deb-src.list >/dev/null
  fi
  "${sudo_cmd[@]}" apt-get update
fi

work="$build/libzip-source"
rm -rf "$work"
mkdir -p "$work"
(cd "$work" && apt-get source --download-only libzip >/dev/null && dpkg-source -x --no-check ./libzip_*.dsc src >/dev/null)

cmake -S "$work/src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF \
  -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
  -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
  -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=OFF \
  -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
  -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
  -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >/dev/null
cmake --build "$work/build" >/dev/null
cmake --install "$work/build" >/dev/null
rm -rf "$work"
echo "libzip for MinGW installed in $prefix"
