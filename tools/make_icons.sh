#!/bin/bash
# Renders the program's SVG icon to the PNG sizes the hicolor theme wants.
# Run after changing packaging/icons/org.qorvi.Qorvi.svg; the PNGs are kept
# in the source tree so that building needs no SVG renderer.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
icons=$here/packaging/icons
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$icons/$size"
    rsvg-convert -w "$size" -h "$size" "$icons/org.qorvi.Qorvi.svg" -o "$icons/$size/org.qorvi.Qorvi.png"
done
