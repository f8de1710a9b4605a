#!/usr/bin/env bash
# The main job: builds the release configuration, draws a test card, renders
# every example effect over it through the plug-in module with lumaro-host,
# and lays the frames out as a before/after sheet.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh"
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release

build="$root/build/linux-release"
host="$build/tools/lumaro-host/lumaro-host"
demo="$build/demo"
mkdir -p "$demo"

"$host" sample --output "$demo/sample.png" --width 640 --height 360

# Each row of the sheet: the test card, then the effect's frame, captioned
# with the effect's name and the values it was rendered with.
pairs=()
captions=()
for package in "$build"/effects/*.lumaro-effect; do
  name=$(basename "$package" .lumaro-effect)
  echo
  "$host" info --effect "$package"
  # Half a second into a two-second clip, for the effects that animate.
  caption=$("$host" render --effect "$package" --input "$demo/sample.png" --output "$demo/$name.png" \
    --time 0.5 --duration 2 --describe)
  pairs+=("$demo/sample.png" "$demo/$name.png")
  captions+=(--caption "Before" --caption "$caption; at 0.5 s of 2 s")
done
"$host" sheet --output "$demo/sheet.png" --columns 2 "${captions[@]}" "${pairs[@]}"

echo
echo "Test card:         $demo/sample.png"
echo "Rendered frames:   $demo/<effect>.png"
echo "Before/after sheet: $demo/sheet.png"
