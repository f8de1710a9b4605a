#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the demo need.
# Idempotent: packages already present are left alone by apt, and the
# MinGW build of libzip is skipped when its install prefix already exists.
#
# Usage: scripts/install-deps.sh [--windows-libzip BUILD_DIR]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")

linux_packages=(
  build-essential cmake ninja-build pkg-config git
  nlohmann-json3-dev libzip-dev zlib1g-dev
  ocl-icd-opencl-dev opencl-c-headers opencl-clhpp-headers pocl-opencl-icd clinfo
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcurl4-openssl-dev libstb-dev
  clang-format
  clang-14 libclang-rt-14-dev llvm-14
)
windows_packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-tools libz-mingw-w64-dev wine64 dpkg-dev nsis
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${linux_packages[@]}" "${windows_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [ "${1:-}" = "--windows-libzip" ]; then
  "$here/build-libzip-mingw.sh" "${2:?build folder expected}"
fi
