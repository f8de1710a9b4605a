#!/usr/bin/env bash
# Builds and tests everything on a fresh Debian 12 machine:
#   the Linux build (Debug, AddressSanitizer + UndefinedBehaviorSanitizer),
#   a short run of every fuzz target (scripts/fuzz.sh, clang and libFuzzer),
#   the Linux build under ThreadSanitizer,
#   the Windows build (MinGW-w64), whose tests run under Wine,
#   the Windows installer, built and tried under Wine (scripts/test-installer.sh),
#   the GPU benchmark bundle (scripts/gpu-bundle.sh, a release build) and its
#   quick dry run on PoCL from a copy, with the build tree moved aside.
# Installs what it needs first. Ends with CTest's summary of each build; the
# exit status is non-zero when any build or test failed.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh" --windows-libzip "$root/build/windows" || exit 1

presets=(linux linux-tsan windows)
status=0
rm -f build/installer-summary.txt
for preset in "${presets[@]}"; do
  echo "==> $preset: configure and build"
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset"; then
    echo "==> $preset: BUILD FAILED"
    echo "$preset: build failed" >"build/$preset-summary.txt"
    status=1
    continue
  fi
  echo "==> $preset: test"
  runner=()
  # ThreadSanitizer's runtime cannot map its shadow memory under the wide
  # address randomisation of some kernels; running without it is harmless.
  [ "$preset" = linux-tsan ] && runner=(setarch "$(uname -m)" -R)
  "${runner[@]}" ctest --preset "$preset" 2>&1 | tee "build/$preset-ctest.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  sed -n '/tests passed/,$p' "build/$preset-ctest.log" >"build/$preset-summary.txt"
  if [ "$preset" = linux ]; then
    echo "==> linux-fuzz: every fuzz target for a short run"
    "$root/scripts/fuzz.sh" || status=1
  fi
  if [ "$preset" = windows ]; then
    echo "==> windows: installer"
    "$root/scripts/test-installer.sh" 2>&1 | tee build/installer.log
    if [ "${PIPESTATUS[0]}" -eq 0 ]; then
      tail -n 1 build/installer.log >build/installer-summary.txt
    else
      status=1
      { grep '^installer: FAILED' build/installer.log || echo "installer: FAILED"
        echo "(log: build/installer.log)"; } >build/installer-summary.txt
    fi
  fi
done

echo "==> gpu-bundle: the benchmark bundle and its quick dry run on PoCL"
start=$SECONDS
if "$root/scripts/gpu-bundle.sh" --quick-dry-run 2>&1 | tee build/gpu-bundle.log; then
  result="quick dry run passed"
else
  result="FAILED (build/gpu-bundle.log)"
  status=1
fi
{
  echo "$result in $((SECONDS - start)) s, release build included"
  grep -h '^Bundle: \|^Dry run: exit' build/gpu-bundle.log
  grep -h '^GPU: ' build/gpu-bundle-dry-run/gpu-goals.txt 2>/dev/null
} >build/gpu-bundle-summary.txt

echo
echo "==================== Summary ===================="
for preset in linux linux-fuzz linux-tsan windows gpu-bundle; do
  echo "--- $preset"
  cat "build/$preset-summary.txt" 2>/dev/null
done
echo "--- installer"
cat build/installer-summary.txt 2>/dev/null || echo "installer: not run (the windows build failed)"
exit $status
