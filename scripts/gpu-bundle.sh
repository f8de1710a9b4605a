#!/usr/bin/env bash
# Builds the release benchmarks in build/bench (as scripts/bench.sh does) and
# packs into build/gpu-bundle everything they need on a bare Linux machine
# with an NVIDIA driver and no package registry: the benchmark programs and
# the OpenCL probe (bin/), the module and every shared library they load
# outside the C library (lib/, the OpenCL ICD loader included), the C library
# itself for machines with an older one (glibc/), the example packages and
# their sources, vendor files naming the NVIDIA OpenCL library (vendors/) and
# the system's PoCL (vendors-cpu/), and run.sh (scripts/gpu-bundle-run.sh).
# The bundle must stay under 64 MiB, what a device call carries.
#
# Usage: scripts/gpu-bundle.sh [--dry-run | --quick-dry-run]
#   --dry-run        then copies the bundle to a temporary folder and runs
#                    `run.sh --cpu` there on PoCL, with build/bench moved
#                    aside so that nothing can come from the build tree;
#                    the output lands in build/gpu-bundle-dry-run/
#   --quick-dry-run  the same with `run.sh --cpu --quick` (CI runs this)
#
# On the GPU machine: run.sh OUTDIR (see its header, or run.sh --help).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

dry_run=()
case "${1:-}" in
"") ;;
--dry-run) dry_run=(--cpu) ;;
--quick-dry-run) dry_run=(--cpu --quick) ;;
*)
  echo "usage: $0 [--dry-run | --quick-dry-run]" >&2
  exit 64
  ;;
esac

"$root/scripts/install-deps.sh"

# A compiler cache, where there is one, makes the release build of CI cheap.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
fi

build=build/bench
programs=(lumaro_bench_render lumaro_bench_load lumaro_bench_soak lumaro_bench_thread lumaro_opencl_probe)
cmake --preset linux-release -B "$build" -DLUMARO_BUILD_BENCHMARKS=ON -DLUMARO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target "${programs[@]}"

bundle=build/gpu-bundle
rm -rf "$bundle"
mkdir -p "$bundle"/{bin,lib,glibc,effects,examples,vendors,vendors-cpu}
for program in "${programs[@]}"; do cp "$build/bench/$program" "$bundle/bin/"; done
cp "$build/src/ae/LumaroEffect.so" "$bundle/lib/"
cp "$build"/effects/*.lumaro-effect "$bundle/effects/"
cp -r examples/effects/. "$bundle/examples/"
cp scripts/gpu-bundle-run.sh "$bundle/run.sh"
chmod +x "$bundle/run.sh"
echo libnvidia-opencl.so.1 >"$bundle/vendors/nvidia.icd"
echo libpocl.so.2 >"$bundle/vendors-cpu/pocl.icd"

# The C library's own files go to glibc/, used only where the system's is
# older; everything else the programs and the module load goes to lib/ under
# the name they ask for. The ICD loader opens the vendor's library itself, so
# it is copied by name.
glibc_libs='^(ld-linux-x86-64\.so\.2|libc\.so\.6|libm\.so\.6|libdl\.so\.2|libpthread\.so\.0|librt\.so\.1|libresolv\.so\.2|libutil\.so\.1|libanl\.so\.1)$'
for file in "$bundle"/bin/* "$bundle/lib/LumaroEffect.so"; do
  ldd "$file" | awk '$2 == "=>" && $3 ~ /^\// { print $1, $3 } $1 ~ /^\/.*ld-linux/ { print "ld-linux-x86-64.so.2", $1 }'
done | sort -u | while read -r name path; do
  if [[ "$name" =~ $glibc_libs ]]; then
    cp -L "$path" "$bundle/glibc/$name"
  else
    cp -L "$path" "$bundle/lib/$name"
  fi
done
if ldd "$bundle"/bin/* "$bundle/lib/LumaroEffect.so" | grep -q 'not found'; then
  echo "A library the programs need is missing here:" >&2
  ldd "$bundle"/bin/* "$bundle/lib/LumaroEffect.so" | grep 'not found' >&2
  exit 1
fi
# The C library's dependants that may be loaded later (the vendor's OpenCL
# library links against these).
for name in libdl.so.2 libpthread.so.0 librt.so.1; do
  [ -e "$bundle/glibc/$name" ] || cp -L "/lib/x86_64-linux-gnu/$name" "$bundle/glibc/$name"
done
strip --strip-unneeded "$bundle"/bin/* "$bundle/lib/LumaroEffect.so"

# The newest C library version any bundled file asks for: run.sh compares the
# machine's with it.
find "$bundle/bin" "$bundle/lib" -type f -exec objdump -T {} + 2>/dev/null | grep -o 'GLIBC_[0-9][0-9.]*' |
  sed 's/GLIBC_//' | sort -uV | tail -n 1 >"$bundle/glibc-version"

size=$(du -sb "$bundle" | cut -f 1)
echo "Bundle: $bundle, $((size / 1024)) KiB, C library $(cat "$bundle/glibc-version") or the bundle's own"
if [ "$size" -ge $((64 * 1024 * 1024)) ]; then
  echo "The bundle is over 64 MiB, more than a device call carries." >&2
  exit 1
fi

if [ ${#dry_run[@]} -gt 0 ]; then
  copy=$(mktemp -d "${TMPDIR:-/tmp}/lumaro-gpu-bundle.XXXXXX")
  out=$root/build/gpu-bundle-dry-run
  away=$build.away-$$
  # Whatever happens, the build tree comes back and the copy goes.
  trap 'rm -rf "$copy"; [ -d "$root/$away" ] && mv "$root/$away" "$root/$build"' EXIT
  cp -r "$bundle/." "$copy/"
  rm -rf "$out"
  mv "$build" "$away"
  echo "Dry run: $copy/run.sh ${dry_run[*]} $out (with $build moved aside)"
  start=$SECONDS
  dry_status=0
  "$copy/run.sh" "${dry_run[@]}" "$out" || dry_status=$?
  echo "Dry run: exit status $dry_status after $((SECONDS - start)) s"
  exit $dry_status
fi
