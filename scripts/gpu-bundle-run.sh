#!/usr/bin/env bash
# The run.sh of a benchmark bundle made by scripts/gpu-bundle.sh: runs the
# Lumaro Effect benchmarks on this machine's NVIDIA GPU with nothing but the
# bundle and the NVIDIA driver, and leaves their output in OUTDIR.
#
# Usage: run.sh [--cpu] [--quick] OUTDIR [extra Google Benchmark flags]
#   --cpu    PoCL's CPU device instead of the NVIDIA driver (the dry run of a
#            build machine; PoCL itself comes from the system, see below)
#   --quick  one frame size (1080p) and one repetition
#
# OUTDIR receives opencl.txt (platforms, devices and the one chosen),
# machine.txt, <program>.txt and <program>.json for render, load, soak and
# thread, and gpu-goals.txt, the table of the GPU goals. The exit status is
# non-zero when the device is missing or a program fails; a missed goal is
# reported, not an error.
#
# The bundle's lib/ holds every shared library the programs load except the
# C library, whose version the bundle records; on an older C library the
# programs start through the bundle's own loader and C library (glibc/).
# vendors/ names libnvidia-opencl.so.1, which the driver installs;
# vendors-cpu/ names libpocl.so.2, which is not carried (with its LLVM it
# would not fit the bundle's 64 MiB) and must be installed.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cpu=0
quick=0
while [ $# -gt 0 ]; do
  case "$1" in
  --cpu) cpu=1 ;;
  --quick) quick=1 ;;
  -h | --help)
    sed -n '2,/^set /p' "$0" | sed '$d; s/^# \{0,1\}//'
    exit 0
    ;;
  *) break ;;
  esac
  shift
done
[ $# -ge 1 ] || {
  echo "usage: $0 [--cpu] [--quick] OUTDIR [Google Benchmark flags]" >&2
  exit 64
}
out=$1
shift
mkdir -p "$out" && out=$(cd "$out" && pwd) || exit 1

if [ "$cpu" = 1 ]; then
  vendors=$here/vendors-cpu
  wanted=PoCL
  pattern='pocl'
else
  vendors=$here/vendors
  wanted=NVIDIA
  pattern='nvidia'
fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/lumaro-bench.XXXXXX") || exit 1
trap 'rm -rf "$scratch"' EXIT

# A driver mounted into a container may sit outside the loader's cache; the
# vendor file then names the library by its full path.
if [ "$cpu" = 0 ] && ! ldconfig -p 2>/dev/null | grep -q 'libnvidia-opencl\.so\.1 '; then
  for dir in /usr/lib/x86_64-linux-gnu /usr/lib64 /usr/lib /usr/local/nvidia/lib64 /usr/local/nvidia/lib \
    /usr/lib/x86_64-linux-gnu/nvidia/current /usr/local/cuda/lib64 /run/nvidia/driver/usr/lib/x86_64-linux-gnu; do
    if [ -e "$dir/libnvidia-opencl.so.1" ]; then
      mkdir -p "$scratch/vendors"
      echo "$dir/libnvidia-opencl.so.1" >"$scratch/vendors/nvidia.icd"
      vendors=$scratch/vendors
      echo "libnvidia-opencl.so.1 is not in the loader cache; using $dir/libnvidia-opencl.so.1"
      break
    fi
  done
fi

export OCL_ICD_VENDORS=$vendors
export LD_LIBRARY_PATH=$here/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
export LUMARO_BENCH_MODULE=$here/lib/LumaroEffect.so
export LUMARO_BENCH_EFFECTS=$here/effects
export LUMARO_BENCH_EXAMPLES=$here/examples
export LUMARO_BENCH_SCRATCH=$scratch

# The C library: the system's when it is at least as new as the one the
# programs were linked against, else the bundle's (LUMARO_BUNDLE_GLIBC=1
# forces it, to try that route).
launch=()
needed=$(cat "$here/glibc-version")
have=$(getconf GNU_LIBC_VERSION 2>/dev/null | awk '{print $2}')
if [ "${LUMARO_BUNDLE_GLIBC:-0}" = 1 ] || [ -z "$have" ] ||
  [ "$(printf '%s\n%s\n' "$needed" "$have" | sort -V | head -n 1)" != "$needed" ]; then
  echo "C library: ${have:-unknown} here, $needed needed: the bundle's own"
  launch=("$here/glibc/ld-linux-x86-64.so.2" --library-path "$here/lib:$here/glibc")
else
  echo "C library: $have here, $needed needed: the system's"
fi

start=$SECONDS
{
  echo "Machine: $(nproc) CPUs, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
  echo "System:  $(sed -n 's/^PRETTY_NAME=//p' /etc/os-release 2>/dev/null | tr -d '"'), kernel $(uname -r)"
  echo "Load:    $(cut -d ' ' -f 1-3 /proc/loadavg) (1, 5, 15 min)"
  if command -v nvidia-smi >/dev/null; then
    nvidia-smi --query-gpu=name,driver_version,memory.total,pcie.link.gen.current,pcie.link.width.current \
      --format=csv,noheader 2>&1 | sed 's/^/GPU:     /'
  fi
} | tee "$out/machine.txt"

echo
echo "==> OpenCL ($OCL_ICD_VENDORS)"
"${launch[@]}" "$here/bin/lumaro_opencl_probe" 2>&1 | tee "$out/opencl.txt"
if ! grep -i '^chosen: ' "$out/opencl.txt" | grep -qi "$pattern"; then
  echo
  echo "No $wanted OpenCL device found: stopping before the benchmarks."
  if [ "$cpu" = 0 ]; then
    echo "Vendor file: $vendors/nvidia.icd names $(cat "$vendors/nvidia.icd"); the system has:"
    { ldconfig -p 2>/dev/null | grep -i 'libnvidia-opencl' || echo "no libnvidia-opencl in the loader cache"; } | sed 's/^/  /'
    command -v nvidia-smi >/dev/null && nvidia-smi -L 2>&1 | sed 's/^/  /'
  fi
  exit 2
fi

flags=()
render_flags=()
if [ "$quick" = 1 ]; then
  flags=(--benchmark_repetitions=1)
  render_flags=('--benchmark_filter=^Render/[^/]+/1080p/')
fi

status=0
for program in render load soak thread; do
  echo
  echo "==> $program"
  extra=()
  [ "$program" = render ] && extra=("${render_flags[@]}")
  "${launch[@]}" "$here/bin/lumaro_bench_$program" --benchmark_out="$out/$program.json" --benchmark_out_format=json \
    "${flags[@]}" "${extra[@]}" "$@" 2>&1 | tee "$out/$program.txt"
  if [ "${PIPESTATUS[0]}" -ne 0 ]; then
    echo "==> $program FAILED"
    status=1
  fi
done

{
  echo "GPU goals ($(date -u '+%Y-%m-%d %H:%M UTC'); $([ "$quick" = 1 ] && echo "quick: 1080p, 1 repetition" ||
    echo "medians of 5 repetitions"))"
  sed -n 's/^chosen: /Device: /p' "$out/opencl.txt"
  grep -h -m 1 '^Median of this run' "$out/render.txt" 2>/dev/null
  grep -h '^GPU: ' "$out/render.txt" "$out/thread.txt" 2>/dev/null
  echo "Run time: $((SECONDS - start)) s"
} >"$out/gpu-goals.txt"
echo
cat "$out/gpu-goals.txt"
exit $status
