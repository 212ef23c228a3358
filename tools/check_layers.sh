#!/bin/bash
# Fails when a file includes a header from a layer above its own: each
# folder of the product may include only itself and the folders below it.
# The order of editor/ is the order of its libraries (editor/CMakeLists.txt).
root=${1:-.}
cd "$root" || exit 2
declare -A allowed=(
    [platform]="platform"
    [editor/support]="platform editor/support"
    [editor/undo]="platform editor/support editor/undo"
    [editor/marks]="platform editor/support editor/marks"
    [editor/text]="platform editor/support editor/undo editor/marks editor/text"
    [editor/regex]="platform editor/support editor/text editor/regex"
    [editor/lexicon]="platform editor/support editor/text editor/lexicon"
    [editor/keys]="platform editor/support editor/keys"
    [editor/macros]="platform editor/support editor/text editor/lexicon editor/keys editor/macros"
    [editor/settings]="platform editor/support editor/lexicon editor/keys editor/macros editor/settings"
    [editor/styling]="platform editor/support editor/text editor/styling"
    [editor/control]="platform editor"
    [parser]="platform editor parser"
    [net]="platform net"
    [app]="platform editor parser net app"
)
status=0
for layer in "${!allowed[@]}"; do
    [ -d "$layer" ] || continue
    # Files of this folder only (a deeper folder is a layer of its own).
    depth=1
    while IFS= read -r -d '' file; do
        while IFS= read -r target; do
            ok=0
            for a in ${allowed[$layer]}; do
                case "$target" in "$a"/*) ok=1 ;; esac
            done
            if [ $ok -eq 0 ]; then
                echo "$file includes $target, above its layer $layer"
                status=1
            fi
        done < <(grep -oE '^\s*#\s*include\s*"[a-z_/0-9]+\.h"' "$file" | grep -oE '"[^"]+"' | tr -d '"' |
                 grep -E '^(platform|editor|parser|net|app|gui)/')
    done < <(find "$layer" -maxdepth $depth -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
done
[ $status -eq 0 ] && echo "every include stays within its layer or below"
exit $status
