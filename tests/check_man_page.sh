#!/usr/bin/env bash
# Usage: check_man_page.sh PROGRAM MAN-PAGE
# Fails when an option listed by PROGRAM --help is missing from the man page's OPTIONS
# (its .TP items) or the man page lists one that --help does not.
set -euo pipefail
program=$1 page=$2

options() { grep -oE '(^|[^A-Za-z0-9-])--?[A-Za-z][A-Za-z0-9-]*' | sed -E 's/^[^-]*//' | sort -u; }

# --help: the option column of each indented line starting with a dash (up to two spaces).
from_help=$("$program" --help | grep -E '^\s+-' | sed -E 's/^\s+//; s/ {2,}.*//' | options)
# The man page: the lines that follow .TP inside OPTIONS, with roff's \- and font escapes undone.
from_page=$(awk '/^\.SH/ { in_options = ($2 == "OPTIONS") } in_options && tp { print } { tp = ($1 == ".TP") }' "$page" |
            sed -E 's/\\-/-/g; s/\\f[BIRP]//g' | options)

[ -n "$from_help" ] || { echo "no options found in $program --help"; exit 1; }
if [ "$from_help" != "$from_page" ]; then
    echo "$program --help and $page list different options (< help, > man page):"
    diff <(echo "$from_help") <(echo "$from_page") || true
    exit 1
fi
echo "$(echo "$from_help" | wc -l) options agree: $program, $page"
