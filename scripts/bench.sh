#!/usr/bin/env bash
# Builds the release configuration with the benchmarks in build/bench and runs
# them: frame rendering through the module against a hand-written OpenCL
# pipeline, two memcpy passes and the frame's transfer to the device and back,
# effect loading (cold, cached, metadata alone), a 10,000-frame memory soak,
# and frames per second of 1, 2 and 3 host threads rendering at once. Each
# program ends with a table of ratios from the medians of its own run and the
# goals they are held to (goals marked GPU are judged on a GPU only; see
# scripts/gpu-bundle.sh to take those figures on a GPU machine).
#
# Usage: scripts/bench.sh [extra Google Benchmark flags, e.g.
#                          --benchmark_repetitions=9 --benchmark_filter=BGRA8]
# The JSON of each program lands in build/bench/results/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh"

build=build/bench
cmake --preset linux-release -B "$build" -DLUMARO_BUILD_BENCHMARKS=ON -DLUMARO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target lumaro_bench_render lumaro_bench_load lumaro_bench_soak lumaro_bench_thread

machine() {
  echo "Machine: $(nproc) CPUs, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
  echo "OpenCL:  $(clinfo 2>/dev/null | sed -n 's/^[[:space:]]*Platform Version[[:space:]]*//p' | head -n 1)"
  echo "Load:    $(cut -d ' ' -f 1-3 /proc/loadavg) (1, 5, 15 min)"
}

mkdir -p "$build/results"
machine
for program in render load soak thread; do
  echo
  echo "==> $program"
  "$build/bench/lumaro_bench_$program" --benchmark_out="$build/results/$program.json" \
    --benchmark_out_format=json "$@"
done
echo
echo "After the run:"
machine
