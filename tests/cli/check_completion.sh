#!/usr/bin/env bash
# Usage: check_completion.sh PROGRAM COMPLETION
# Fails when the bash completion offers other options than PROGRAM --help lists.
set -euo pipefail
program=$1 completion=$2
options() { grep -oE '(^|[^A-Za-z0-9-])--?[A-Za-z][A-Za-z0-9-]*' | sed -E 's/^[^-]*//' | sort -u; }
from_help=$("$program" --help | grep -E '^\s+-' | sed -E 's/^\s+//; s/ {2,}.*//' | options)
# shellcheck disable=SC1090
offered=$(source "$completion"; COMP_WORDS=(x -); COMP_CWORD=1; _drganik_rec; printf '%s\n' "${COMPREPLY[@]}" | sort -u)
if [ "$from_help" != "$offered" ]; then
    echo "$program --help and $completion offer different options (< help, > completion):"
    diff <(echo "$from_help") <(echo "$offered") || true
    exit 1
fi
echo "$(echo "$from_help" | wc -l) options agree: $program, $completion"
