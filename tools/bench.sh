#!/bin/bash
# Build the benchmarks in release mode into build/bench and run them with
# full-size data. Optional argument: a --benchmark_filter regular expression.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/setup.sh"
cmake -S "$here" -B "$here/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQORVI_BUILD_TESTS=OFF >/dev/null
cmake --build "$here/build/bench"
for b in "$here"/build/bench/bench/bench_*; do
    [ -x "$b" ] || continue
    "$b" ${1:+--benchmark_filter="$1"}
done
