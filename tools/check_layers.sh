#!/usr/bin/env bash
# Fails when a folder includes a header of a folder it may not use (the table
# of the design notes): dependencies point down and never back up, and the
# folders below ui/ include nothing of Qt.
# Usage: tools/check_layers.sh [source-root]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

declare -A allowed=(
    [signal]="signal"
    [serial]="serial"
    [files]="files signal"
    [settings]="settings files signal"
    [capture]="capture files signal"
    [acquisition]="acquisition capture files signal serial settings"
    [widgets]="widgets"
    [session]="session acquisition capture settings files signal serial"
    [ui]="ui widgets session acquisition capture settings files signal serial"
    [app]="app ui widgets session acquisition capture settings files signal serial"
    [cli]="cli session acquisition capture settings files signal serial"
    [tools/sim]="tools/sim signal"
)
no_qt="signal files serial settings capture acquisition tools/sim"

# Which folder each header of the house lives in.
declare -A home=()
for folder in "${!allowed[@]}"; do
    for header in "$folder"/*.h; do
        [ -e "$header" ] && home[$(basename "$header")]=$folder
    done
done

status=0
for folder in "${!allowed[@]}"; do
    for file in "$folder"/*.h "$folder"/*.cpp; do
        [ -e "$file" ] || continue
        while IFS= read -r name; do
            target=${home[$name]:-}
            if [ -z "$target" ]; then
                echo "$file: includes \"$name\", which is no header of the house"
                status=1
            elif [[ " ${allowed[$folder]} " != *" $target "* ]]; then
                echo "$file: includes \"$name\" from $target/, above or beside $folder/"
                status=1
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
        if [[ " $no_qt " == *" $folder "* ]] && grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
            echo "$file: includes Qt, which $folder/ may not use"
            status=1
        fi
    done
done
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
