#!/bin/bash
# Fails when a file outside the Qt folders (and the GUI tests, screenshot
# programs and GUI benchmarks) includes a Qt header.
root=${1:-.}
cd "$root" || exit 2
hits=$(grep -rnE '^\s*#\s*include\s*[<"]Q[A-Za-z]' \
    --include='*.h' --include='*.cpp' --include='*.hpp' \
    platform editor parser net app tools bench fuzz tests 2>/dev/null |
    grep -vE '^(platform/qt/|tests/gui/|tests/screens/|bench/gui_)')
if [ -n "$hits" ]; then
    echo "Qt headers outside platform/qt, gui and the GUI tests:"
    echo "$hits"
    exit 1
fi
echo "Qt-free layers are clean"
