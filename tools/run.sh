#!/bin/bash
# Set up, build into build/release and start the editor with the given files.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/setup.sh"
cmake -S "$here" -B "$here/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQORVI_BUILD_TESTS=OFF -DQORVI_BUILD_BENCH=OFF >/dev/null
cmake --build "$here/build/release" --target qorvi
exec "$here/build/release/bin/qorvi" "$@"
