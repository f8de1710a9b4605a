#!/usr/bin/env bash
# Builds the libFuzzer programs (preset linux-fuzz: clang, AddressSanitizer +
# UndefinedBehaviorSanitizer) and runs each for the given number of seconds,
# two at a time, at the lowest CPU priority:
#
#   scripts/fuzz.sh          # 60 s per target, the test command's short run
#   scripts/fuzz.sh 600      # the long run: 10 minutes per target
#
# Targets: metadata (metadata.json text), package (arbitrary package files),
# effect_path (the Effect Path parameter's arbitrary-data callbacks) and
# sequence_record (damaged sequence records through the sequence commands).
# Each grows its corpus in build/linux-fuzz/corpus/<target>, seeded from
# tests/fuzz/corpus, tests/fuzz/regressions, the example effects and the built
# packages. An input that fails is kept as build/linux-fuzz/artifacts/<target>/
# crash-*; copy it to tests/fuzz/regressions/<target>/ so that FuzzReplayTests
# replays it in every build. Writes build/linux-fuzz-summary.txt; the exit
# status is non-zero when a build or a target failed.
set -uo pipefail

seconds=${1:-60}
parallel=${LUMARO_FUZZ_PARALLEL:-2}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build="$root/build/linux-fuzz"
summary="$root/build/linux-fuzz-summary.txt"
mkdir -p "$root/build"

"$root/scripts/install-deps.sh" || exit 1
echo "==> linux-fuzz: configure and build"
if ! cmake --preset linux-fuzz >/dev/null || ! nice -n 19 cmake --build --preset linux-fuzz; then
  echo "linux-fuzz: build failed" >"$summary"
  echo "==> linux-fuzz: BUILD FAILED"
  exit 1
fi

# The tests' leak suppressions (the OpenCL runtime keeps its state for the
# life of the process), plus PoCL's compiler, whose allocations' stacks end in
# LLVM before they reach libpocl.
suppressions="$build/lsan.supp"
{ cat "$root/tests/lsan.supp"; echo "leak:libLLVM"; } >"$suppressions"
export LSAN_OPTIONS="suppressions=$suppressions"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export POCL_CACHE_DIR="$build/pocl-cache"

declare -A max_len=([metadata]=8192 [package]=65536 [effect_path]=8192 [sequence_record]=4096)
targets=(metadata package effect_path sequence_record)

run_target() {
  local target=$1
  local corpus="$build/corpus/$target" artifacts="$build/artifacts/$target" log="$build/logs/$target.log"
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  local seeds=("$root/tests/fuzz/corpus/$target")
  [ -d "$root/tests/fuzz/regressions/$target" ] && seeds+=("$root/tests/fuzz/regressions/$target")
  case $target in
  metadata)
    mkdir -p "$build/seeds/metadata"
    for file in "$root"/examples/effects/*/metadata.json; do
      cp "$file" "$build/seeds/metadata/$(basename "$(dirname "$file")").json"
    done
    seeds+=("$build/seeds/metadata")
    ;;
  package) seeds+=("$build/effects") ;;
  esac
  local start=$SECONDS
  nice -n 19 "$build/tests/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=60 \
    -max_len="${max_len[$target]}" -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "$corpus" "${seeds[@]}" >"$log" 2>&1
  local status=$? runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ $status -eq 0 ]; then
    echo "$target: ${runs:-?} runs in $((SECONDS - start)) s, no failure"
  else
    echo "$target: FAILED after ${runs:-?} runs (exit $status); see $log and $artifacts"
  fi
  return $status
}

echo "==> linux-fuzz: ${seconds} s per target, $parallel at a time"
status=0
mkdir -p "$build/logs"
: >"$summary"
pending=("${targets[@]}")
while [ ${#pending[@]} -gt 0 ]; do
  batch=("${pending[@]:0:$parallel}")
  pending=("${pending[@]:$parallel}")
  pids=()
  for target in "${batch[@]}"; do
    run_target "$target" >"$build/logs/$target.result" 2>&1 &
    pids+=($!)
  done
  for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || status=1
    tee -a "$summary" <"$build/logs/${batch[$i]}.result"
  done
done
[ $status -eq 0 ] || echo "==> linux-fuzz: FAILED"
exit $status
