#!/bin/bash
# Builds the Debian package from a build tree, checks it with lintian,
# installs it (as root, when no qorvi package is installed already;
# otherwise it is unpacked into a staging tree), runs the installed
# programs, validates the desktop entry and the AppStream file, starts the
# desktop entry's Exec line under Xvfb with a file for %F and checks that
# the file was opened, then removes the package again.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
installed=0
cleanup() {
    [ "$installed" = 1 ] && dpkg -r qorvi >/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(echo "$work"/package/qorvi_*.deb)
echo "== $(basename "$deb")"
dpkg-deb --field "$deb" Package Version Section Depends

echo "== lintian"
lintian --fail-on error --suppress-tags-from-file /dev/null "$deb"

if [ "$(id -u)" = 0 ] && ! dpkg-query -W qorvi >/dev/null 2>&1; then
    # Another package operation may hold dpkg's lock for a while.
    for attempt in $(seq 20); do
        dpkg -i "$deb" >/dev/null 2>"$work/dpkg.err" && break
        grep -q "lock" "$work/dpkg.err" || { cat "$work/dpkg.err"; exit 1; }
        sleep 3
    done
    dpkg-query -W qorvi >/dev/null
    installed=1
    root=
else
    dpkg-deb -x "$deb" "$work/stage"
    root=$work/stage
fi
bin=$root/usr/bin
share=$root/usr/share

echo "== installed programs"
"$bin/qorvi" --version | grep -qx "Qorvi $(dpkg-deb --field "$deb" Version)"
"$bin/qorvi-syntax" --help | grep -q "^Usage: qorvi-syntax"
for f in "$bin/qorvi" "$bin/qorvi-syntax" "$share/man/man1/qorvi.1.gz" "$share/man/man1/qorvi-syntax.1.gz" \
    "$share/icons/hicolor/scalable/apps/org.qorvi.Qorvi.svg" "$share/icons/hicolor/48x48/apps/org.qorvi.Qorvi.png" \
    "$share/doc/qorvi/copyright" "$root/usr/libexec/qorvi/qorvi-export"; do
    [ -e "$f" ] || { echo "missing: $f"; exit 1; }
done

printf 'int main() { return 0; }\n' >"$work/export.cpp"
env -u DISPLAY "$bin/qorvi" --export html "$work/export.cpp" | grep -q "<B>return</B>"

echo "== desktop entry and AppStream metadata"
desktop=$share/applications/org.qorvi.Qorvi.desktop
desktop-file-validate "$desktop"
appstreamcli validate --no-net --pedantic "$share/metainfo/org.qorvi.Qorvi.metainfo.xml"

echo "== the desktop entry's Exec line opens its %F file"
# Run as a desktop would: the Exec line with %F replaced by the file. A
# second start with the same name is handed to the running editor, which
# then asks what to do with a file it has open: that question shows the
# first start opened the file.
export HOME=$work/home XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
file=$work/opened\ by\ exec.txt
echo "text" >"$file"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ "$exec_line" = "qorvi %F" ]
PATH=$bin:$PATH timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    qorvi "$1" & editor=$!
    for i in $(seq 300); do xdotool search --name "^Qorvi$" >/dev/null 2>&1 && break; sleep 0.1; done
    # The first file opens from the event loop after the window shows; a
    # name handed over while it is still on its way is skipped, so hand it
    # over again until the question comes.
    found=1
    for attempt in $(seq 30); do
        qorvi "$1"
        for i in $(seq 10); do
            if xdotool search --name "^Confirmation$" >/dev/null 2>&1; then found=0; break 2; fi
            sleep 0.1
        done
    done
    kill $editor
    [ $found = 0 ] || echo "the running editor did not ask about the file the Exec line opened"
    exit $found' exec-check "$file"
echo "package checks passed"
