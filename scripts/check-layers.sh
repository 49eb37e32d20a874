#!/usr/bin/env bash
# Fails when a file under src/<layer>/ includes a layer above its own, or when
# a layer without Qt includes a Qt header. The table is the layer order of
# docs/ARCHITECTURE.md: each layer names the layers it may include.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
    [text]="text"
    [document]="document text"
    [image]="image document text"
    [archives]="archives document text"
    [export]="export document text"
    [report]="report export document text"
    [link]="link text"
    [sim]="sim text"
    [app]="app report export archives image document link text"
    [cli]="cli app report export archives image document link text"
    [gui]="gui app report export archives image document link text"
)
# Layers that link no Qt at all.
qtfree="text document image archives export sim"

status=0
for dir in src/*/; do
    layer=$(basename "$dir")
    if [ -z "${allowed[$layer]+x}" ]; then
        echo "check-layers: слой src/$layer не описан в scripts/check-layers.sh" >&2
        status=1
        continue
    fi
    while IFS=: read -r file line include; do
        target=${include#*\"}
        target=${target%%/*}
        [ -d "src/$target" ] || continue # a file of the same folder
        case " ${allowed[$layer]} " in
        *" $target "*) ;;
        *)
            echo "$file:$line: слой $layer не может включать $target ($include)" >&2
            status=1
            ;;
        esac
    done < <(grep -rnE '^\s*#\s*include\s+"[^"]+/' "$dir" || true)
    case " $qtfree " in
    *" $layer "*)
        if grep -rnE '^\s*#\s*include\s+<Q' "$dir" >&2; then
            echo "check-layers: слой $layer собирается без Qt, а включает заголовок Qt" >&2
            status=1
        fi
        ;;
    esac
done
[ $status -eq 0 ] && echo "check-layers: зависимости слоёв в порядке"
exit $status
