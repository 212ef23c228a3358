#!/bin/bash
# Set up, build into build/release (the optimised build the tests also run
# in) and start the editor with the given files.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/setup.sh"
cmake -S "$here" -B "$here/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build/release" --target qorvi
exec "$here/build/release/bin/qorvi" "$@"
