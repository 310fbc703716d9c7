#!/usr/bin/env bash
# Fails when a folder of src/ includes a project header from a layer above
# it. Dependencies point down: base, then the records (profiles, macros) and
# input, then device, protocol and session; the page, the application and
# the window layer come on top and may include what is below them.
set -euo pipefail
src=${1:?usage: check-layers.sh SRC_DIR}

# folder -> the folders its includes may name
declare -A allowed=(
    [base]="base"
    [profiles]="base profiles macros"
    [macros]="base macros"
    [input]="base input"
    [device]="base device tvq"
    [protocol]="base device profiles macros protocol"
    [session]="base device profiles macros protocol session"
)

bad=0
checked=0
for folder in "${!allowed[@]}"; do
    [ -d "$src/$folder" ] || continue
    while IFS= read -r -d '' f; do
        checked=$((checked + 1))
        while IFS= read -r target; do
            top=${target%%/*}
            if [[ " ${allowed[$folder]} " != *" $top "* ]]; then
                echo "${f#"$src"/} includes \"$target\": $folder/ may include only ${allowed[$folder]}" >&2
                bad=1
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$f")
    done < <(find "$src/$folder" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
done
[ $bad -eq 0 ] && echo "every layer includes only the layers below it ($checked files checked)"
exit $bad
