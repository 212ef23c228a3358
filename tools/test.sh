#!/bin/bash
# Set up, build everything into build/test with AddressSanitizer and
# UndefinedBehaviorSanitizer, and run every test (GUI tests offscreen,
# benchmarks as a quick smoke run).
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/setup.sh"
cmake -S "$here" -B "$here/build/test" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQORVI_SANITIZE=ON >/dev/null
cmake --build "$here/build/test"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/tools/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$here/build/test"
ctest --output-on-failure -j2 --timeout 900 "$@"
