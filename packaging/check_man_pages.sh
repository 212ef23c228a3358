#!/bin/bash
# Every switch that a program's --help names must appear in its manual page.
# Usage: check_man_pages.sh QORVI QORVI_SYNTAX MAN_DIR
set -e
qorvi=$1 syntax=$2 man=$3
failed=0

# The page as text: roff's escaped minus and font changes undone.
page_text() { sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$1"; }

switches() {
    grep -oE '(^|[[:space:],(|[])(--?[A-Za-z][A-Za-z0-9-]*|/[A-Za-z])([^A-Za-z0-9/]|$)' |
        sed -E 's/^[[:space:],(|[]//; s/[^A-Za-z0-9-]$//' | sort -u
}

check() {
    local page=$1 help=$2 text
    text=$(page_text "$page")
    for sw in $(switches <<<"$help"); do
        if ! grep -qE "(^|[^A-Za-z0-9-])${sw//\//\\/}([^A-Za-z0-9-]|$)" <<<"$text"; then
            echo "$(basename "$page"): '$sw' from --help is missing"
            failed=1
        fi
    done
}

check "$man/qorvi.1" "$("$qorvi" --help)"
help=$("$syntax" --help)
for command in compile dump tokens embed; do
    help+=$'\n'$("$syntax" "$command" --help 2>&1 || true)
done
check "$man/qorvi-syntax.1" "$help"
[ "$failed" = 0 ] && echo "every switch of --help is in the manual pages"
exit "$failed"
