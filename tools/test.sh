#!/bin/bash
# Set up, then build and run every test twice: once with AddressSanitizer and
# UndefinedBehaviorSanitizer (build/test), once in the optimised build that
# tools/run.sh starts (build/release). GUI tests run offscreen; benchmarks run
# as a quick smoke run in the optimised build only. Both runs must pass.
# Arguments are passed to both ctest runs (for example -R Hive).
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/setup.sh"
export QT_QPA_PLATFORM=offscreen

echo "== Sanitizer build (Debug, ASan + UBSan): build/test"
cmake -S "$here" -B "$here/build/test" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQORVI_SANITIZE=ON \
    -DQORVI_BUILD_BENCH=OFF >/dev/null
cmake --build "$here/build/test"
(
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
    export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/tools/lsan.supp:print_suppressions=0}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    cd "$here/build/test"
    ctest --output-on-failure -j2 --timeout 900 "$@"
)

echo "== Optimised build (RelWithDebInfo, as users run it): build/release"
cmake -S "$here" -B "$here/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build/release"
cd "$here/build/release"
ctest --output-on-failure -j2 --timeout 900 "$@"
