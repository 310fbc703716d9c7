#!/usr/bin/env bash
# Fails when a folder includes a project header of a folder above it, or
# when folders include each other in a cycle. Every folder of src/, tools/
# and libs/ is listed with the folders its includes may name (its own
# among them); a folder's subfolders count as the folder. The order, from
# the bottom: the core (base; profiles, macros; device; input; program;
# protocol; session; editing; page), then the desktop layers (platform;
# toolkit; dialogs; page_widgets; desktop; app), and beside them the tools and
# libraries.
# docs/architecture.md shows the same table.
set -euo pipefail
root=${1:?usage: check-layers.sh REPO_DIR}
[ -d "$root/src" ] || root=$(dirname "$root")  # also accepts the src/ folder

core="base profiles macros input device program protocol session"
declare -A allowed=(
    [src/base]="base"
    [src/macros]="base macros"
    [src/profiles]="base macros profiles"
    [src/input]="base device input tvq"
    [src/device]="base device tvq"
    [src/program]="base profiles device program"
    [src/protocol]="base device profiles macros protocol"
    [src/session]="$core"
    [src/editing]="$core editing"
    [src/page]="$core editing page"
    [src/platform]="base input device program platform tvq"
    [src/toolkit]="base input device program platform toolkit tvq"
    [src/dialogs]="$core editing platform toolkit dialogs tvq"
    [src/page_widgets]="$core editing page platform toolkit dialogs page_widgets tvq"
    [src/desktop]="$core platform toolkit desktop tvq"
    [src/app]="$core editing page platform toolkit dialogs page_widgets desktop app tvq"
    [tools/tvqctl]="$core editing page platform tvq"
    [tools/virtual-mouse]="base device protocol tvq"
    [libs/hiddriver]="base device tvq"
    [libs/hook]="base platform tvq"
)
# The folder an include names: "page/panels/x.h" is in page.
top_of() { local t=${1%%/*}; echo "$t"; }
# The folder a file is in, as the table names it.
folder_of() {
    local rel=${1#"$root"/}
    case $rel in
        src/*) echo "src/$(cut -d/ -f2 <<<"$rel")" ;;
        *) cut -d/ -f1,2 <<<"$rel" ;;
    esac
}

bad=0
checked=0
declare -A edges=()
for dir in src tools libs; do
    for sub in "$root/$dir"/*/; do
        folder="$dir/$(basename "$sub")"
        if [ -z "${allowed[$folder]+x}" ]; then
            echo "$folder/ is not in the layer table of check-layers.sh" >&2
            bad=1
            continue
        fi
    done
done
while IFS= read -r -d '' f; do
    folder=$(folder_of "$f")
    [ -n "${allowed[$folder]+x}" ] || continue
    checked=$((checked + 1))
    while IFS= read -r target; do
        top=$(top_of "$target")
        [ "src/$top" = "$folder" ] && continue
        edges["$folder>$top"]=1
        if [[ " ${allowed[$folder]} " != *" $top "* ]]; then
            echo "${f#"$root"/} includes \"$target\": $folder/ may include only ${allowed[$folder]}" >&2
            bad=1
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$f")
done < <(find "$root/src" "$root/tools" "$root/libs" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)

# Folders that include each other, directly or around a cycle.
declare -A state=()
visit() {
    local node=$1 edge next
    state[$node]=open
    for edge in "${!edges[@]}"; do
        [ "${edge%%>*}" = "$node" ] || continue
        next="src/${edge#*>}"
        [ -n "${allowed[$next]+x}" ] || continue
        if [ "${state[$next]-}" = open ]; then
            echo "folders include each other: $node/ and $next/ are on a cycle" >&2
            bad=1
        elif [ -z "${state[$next]-}" ]; then
            visit "$next"
        fi
    done
    state[$node]=done
}
for folder in "${!allowed[@]}"; do
    [ -z "${state[$folder]-}" ] && visit "$folder"
done

[ $bad -eq 0 ] && echo "every folder includes only the folders below it, without cycles ($checked files checked)"
exit $bad
