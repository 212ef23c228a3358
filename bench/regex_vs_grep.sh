#!/bin/bash
# Runs the regular-expression benchmarks and prints, side by side with
# `grep -c -E` timed in the same run, how our search of every match in
# 100 MB of C++ compares (our time over grep's; the targets are 1.0 for the
# literal-prefixed pattern and 1.2 for the character-class one), then how
# long each worst case over 10 MB took (the limit is a second).
#
# Usage: bench/regex_vs_grep.sh [BUILD_DIR]
# Without BUILD_DIR the benchmark is built in Release mode in build/bench.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/bench}
if [ -z "$1" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQORVI_BUILD_TESTS=OFF \
        -DQORVI_BUILD_GUI=OFF >/dev/null
    cmake --build "$build" --target bench_editor >/dev/null
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$build/bench/bench_editor" --benchmark_filter='BM_Regex' --benchmark_out="$out" \
    --benchmark_out_format=json >/dev/null
python3 - "$out" <<'PY'
import json, sys

runs = json.load(open(sys.argv[1]))["benchmarks"]
targets = {"literal-prefixed": 1.0, "character-class": 1.2}
print("Every match in 100 MB of C++, our time / grep -c -E time (same run)")
print(f"  {'pattern':<34} {'wall':>6} {'cpu':>6} {'target':>7} {'matches':>9}")
for r in runs:
    if not r["name"].startswith("BM_RegexSearch"):
        continue
    kind = r["label"].split()[0]
    print(f"  {r['label']:<34} {r['grep_ratio']:6.2f} {r['grep_cpu_ratio']:6.2f} "
          f"{targets.get(kind, 0):7.1f} {int(r['matches']):9d}")
print()
print("Worst cases over 10 MB (limit 1 s)")
print(f"  {'seconds':>7}  {'answer':<12} case")
for r in runs:
    if not r["name"].startswith("BM_RegexWorstCase"):
        continue
    answer = ("found" if r["found"] else "not found" if r["not_found"] else "too complex")
    engine = "" if r["linear"] else "  [backtracking]"
    print(f"  {r['slowest_s']:7.3f}  {answer:<12} {r['label']}{engine}")
PY
