#!/usr/bin/env bash
# The main job: builds the release configuration, packages every example
# effect and shows what each package holds.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh"
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release

host="$root/build/linux-release/tools/lumaro-host/lumaro-host"
for package in "$root"/build/linux-release/effects/*.lumaro-effect; do
  echo
  echo "== $(basename "$package")"
  "$host" info --effect "$package"
done
