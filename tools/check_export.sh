#!/bin/bash
# The export command as a script calls it: no display, output on standard
# output or into a file, clear errors and exit codes for bad requests.
# Usage: tools/check_export.sh QORVI_BINARY (qorvi, or qorvi-export which it runs)
set -u
qorvi=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check_export: $*" >&2; exit 1; }
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work" XDG_DATA_HOME="$work/data" \
    XDG_CONFIG_HOME="$work/config" "$qorvi" "$@"; }

printf 'int main() { return 0; } // "a<b>&c"\n' > "$work/sample.cpp"
run --export html "$work/sample.cpp" > "$work/out.html" 2> "$work/err" || fail "html export failed: $(cat "$work/err")"
grep -q '^<HTML><HEAD>' "$work/out.html" || fail "no HTML header"
grep -q '<B>return</B>' "$work/out.html" || fail "the keyword is not coloured: $(cat "$work/out.html")"
grep -q '&quot;a&lt;b&gt;&amp;c&quot;' "$work/out.html" || fail "special characters are not escaped"
grep -q '</PRE></FONT></BODY></HTML>' "$work/out.html" || fail "no HTML end"

run --export rtf "$work/sample.cpp" -o "$work/out.rtf" || fail "rtf export into a file failed"
grep -qF '{\rtf1 \deff1' "$work/out.rtf" || fail "no RTF header"
run --export unix "$work/sample.cpp" -o "$work/out.txt" || fail "text export failed"
cmp -s "$work/sample.cpp" "$work/out.txt" || fail "the Unix text export changed bytes"

run --export pdf "$work/sample.cpp" > /dev/null 2> "$work/err"
[ $? -eq 2 ] || fail "an unknown format must exit with 2"
grep -q 'format' "$work/err" || fail "no message for an unknown format"
run --export html "$work/missing.cpp" > /dev/null 2> "$work/err"
[ $? -eq 1 ] || fail "a missing file must exit with 1"
grep -q "missing.cpp" "$work/err" || fail "the message does not name the file: $(cat "$work/err")"
# A file without a telling extension, coloured as the language asked for.
cp "$work/sample.cpp" "$work/sample.notes"
run --export html "$work/sample.notes" > "$work/plain.html" || fail "export of an unmapped file failed"
grep -q '<B>return</B>' "$work/plain.html" && fail "an unmapped file must not be coloured as C++"
run --export html --lang cpp "$work/sample.notes" > "$work/lang.html" || fail "--lang cpp failed"
grep -q '<B>return</B>' "$work/lang.html" || fail "--lang cpp did not colour as C++"
run --export html --lang cobol "$work/sample.notes" > /dev/null 2> "$work/err"
[ $? -eq 1 ] || fail "an unknown language must exit with 1"
grep -q "cobol" "$work/err" || fail "no message for an unknown language"

# An unknown switch is a usage error, not a file to open (and no window).
run --exprot html "$work/sample.cpp" > /dev/null 2> "$work/err"
[ $? -eq 2 ] || fail "an unknown switch must exit with 2"
grep -q "Usage:" "$work/err" || fail "an unknown switch must print the usage"
echo "check_export: ok"
