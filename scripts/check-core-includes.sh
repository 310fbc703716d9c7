#!/usr/bin/env bash
# Fails when a core source, or a project header it includes, pulls in an
# operating-system or Qt header. The core must build on the C++ standard
# library alone.
set -euo pipefail
usage="usage: check-core-includes.sh CORE_SOURCES_LIST SRC_DIR INCLUDE_DIR"
list=${1:?$usage}
src=${2:?$usage}
inc=${3:?$usage}

declare -A seen=()
queue=()
while IFS= read -r f; do [ -n "$f" ] && queue+=("$f"); done <"$list"
bad=0
while [ ${#queue[@]} -gt 0 ]; do
    f=${queue[0]}
    queue=("${queue[@]:1}")
    [ -n "${seen[$f]:-}" ] && continue
    seen[$f]=1
    while IFS= read -r line; do
        case "$line" in
        \<*)
            h=${line#<}; h=${h%>}
            # Standard headers have no extension and no slash ("cstdint",
            # "vector"); anything else (<unistd.h>, <sys/stat.h>, <QtCore>)
            # is a system or library header.
            # The public C headers use the C forms of standard headers.
            case "$h" in stdint.h | stddef.h) continue ;; esac
            if [[ "$h" == */* || "$h" == *.* || "$h" == Q* ]]; then
                echo "core source $f includes <$h>" >&2
                bad=1
            fi
            ;;
        \"*)
            h=${line#\"}; h=${h%\"}
            if [ -f "$src/$h" ]; then
                queue+=("$src/$h")
            elif [ -f "$inc/$h" ]; then
                queue+=("$inc/$h")
            fi
            ;;
        esac
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*\([<"][^>"]*[>"]\).*/\1/p' "$f")
done
[ $bad -eq 0 ] && echo "core sources include only the C++ standard library (${#seen[@]} files checked)"
exit $bad
