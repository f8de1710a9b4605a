#!/usr/bin/env bash
# Mutation testing: how many small faults in src/ the tests catch.
#
#   scripts/mutants.sh [--seed S] [--count N] [--timeout SECONDS] [--list]
#
# From a fixed seed it picks N mutation sites spread over src/ (one per file
# before a second in any file): a comparison flipped, a bound shifted by one,
# a statement dropped, two arguments or two constants swapped. One at a time it
# writes the mutant, rebuilds the linux-release preset, runs its CTest suite
# (each test limited to --timeout seconds, the run stopped at the first
# failure), and restores the file. A mutant that does not compile, or that
# compiles to the same object code as the original (a change the optimiser
# proves makes no difference, so no test could see it), is replaced by the
# next site. It ends with the figure and the sites that survived
# (file:line and the change). --list prints the chosen sites without building.
# The same seed over the same src/ gives the same mutants, so two versions of
# the tests can be compared. Without --seed a fresh seed is drawn and printed:
# judge a change of the tests on seeds not used before. Defaults: 30 mutants,
# 60 s.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

seed=""
count=30
timeout=60
list=0
while [ $# -gt 0 ]; do
  case "$1" in
  --seed) seed=$2; shift 2 ;;
  --count) count=$2; shift 2 ;;
  --timeout) timeout=$2; shift 2 ;;
  --list) list=1; shift ;;
  *) echo "usage: scripts/mutants.sh [--seed S] [--count N] [--timeout SECONDS] [--list]" >&2; exit 2 ;;
  esac
done

if [ "$list" = 0 ]; then
  cmake --preset linux-release >/dev/null
  cmake --build --preset linux-release >/dev/null
fi

exec python3 - "$seed" "$count" "$timeout" "$list" <<'PYTHON'
import hashlib, pathlib, random, re, subprocess, sys

seed = int(sys.argv[1]) if sys.argv[1] else random.SystemRandom().randrange(1, 1_000_000)
count, timeout, only_list = int(sys.argv[2]), int(sys.argv[3]), sys.argv[4] == "1"
print(f"seed {seed} (repeat with --seed {seed})", flush=True)

# Sources the Linux build compiles; the host API declarations hold no logic.
files = sorted(p for p in pathlib.Path("src").rglob("*.cpp")
               if not p.name.endswith("_windows.cpp") and "sdk" not in p.parts and p.parent.name != "pipl")

SWAPS = [(" == ", " != "), (" != ", " == "), (" <= ", " < "), (" >= ", " > "), (" < ", " <= "), (" > ", " >= "),
         (" && ", " || "), (" || ", " && "), ("true", "false"), ("false", "true"), (" + 1", " + 2"), (" - 1", ""),
         ("++", "--")]
CALL = re.compile(r"\(([A-Za-z_][\w.>-]*), ([A-Za-z_][\w.>-]*)\)")
SKIP = re.compile(r"^\s*(//|#|\*|/\*)|static_assert|operator|template")
DROPPABLE = re.compile(r"^\s+[A-Za-z_][\w:.>()-]*(\(.*\)|\s*[-+*/|&]?=\s*.+|\+\+|--);\s*$")

def sites(path):
    found = []
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if SKIP.search(line) or '"' in line:
            continue
        for old, new in SWAPS:
            if old in line:
                found.append((number, line.replace(old, new, 1), f"'{old.strip()}' -> '{new.strip()}'"))
        call = CALL.search(line)
        if call and call.group(1) != call.group(2):
            swapped = line[:call.start()] + f"({call.group(2)}, {call.group(1)})" + line[call.end():]
            found.append((number, swapped, f"arguments {call.group(1)}, {call.group(2)} swapped"))
        if DROPPABLE.match(line) and not line.strip().startswith("return"):
            found.append((number, "", "statement dropped"))
    return found

rng = random.Random(seed)
per_file = {path: sites(path) for path in files}
for candidates in per_file.values():
    rng.shuffle(candidates)
# Round robin over the files in a shuffled order: spread before deep.
order = [path for path in files if per_file[path]]
rng.shuffle(order)
queue = []
while any(per_file[path] for path in order):
    for path in order:
        if per_file[path]:
            queue.append((path, *per_file[path].pop()))

build = pathlib.Path("build/linux-release")

def objects(path):
    # The objects of every file of that name: those of the mutated file and
    # of namesakes, which the mutant leaves as they were.
    return {o: hashlib.sha256(o.read_bytes()).digest() for o in build.rglob(path.name + ".o")}

def run(command, limit=None):
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=limit).returncode

caught, survived, tried, equivalent = [], [], 0, 0
for path, number, replacement, change in queue:
    if len(caught) + len(survived) >= count:
        break
    where = f"{path}:{number}"
    if only_list:
        print(f"{where}  {change}")
        caught.append(where)
        continue
    original = path.read_text()
    before = objects(path)
    lines = original.splitlines(keepends=True)
    lines[number - 1] = replacement + ("\n" if replacement else "\n")
    path.write_text("".join(lines))
    tried += 1
    try:
        if run(["cmake", "--build", "--preset", "linux-release"]) != 0:
            continue  # does not compile: the next site takes its place
        if before and objects(path) == before:
            equivalent += 1
            continue  # the same machine code: no test could tell it apart
        try:
            failed = run(["ctest", "--preset", "linux-release", "-j2", "--stop-on-failure", "--timeout", str(timeout)],
                         limit=timeout * 20) != 0
        except subprocess.TimeoutExpired:
            failed = True
        (caught if failed else survived).append((where, change))
        print(f"{'caught  ' if failed else 'SURVIVED'} {where}  {change}", flush=True)
    finally:
        path.write_text(original)

if only_list:
    sys.exit(0)
run(["cmake", "--build", "--preset", "linux-release"])
total = len(caught) + len(survived)
print(f"\nseed {seed}: {len(caught)} of {total} mutants caught, {len(survived)} survived "
      f"({tried - total - equivalent} did not compile, {equivalent} compiled to the same code)")
for where, change in survived:
    print(f"  survived: {where}  {change}")
PYTHON
