#!/usr/bin/env bash
# Usage: check_messages.sh CLI-SOURCE-FOLDER
# Fails when a message of drganik-rec has no Polish translation in po/pl.po, or the catalogue
# translates one the program no longer has.
set -euo pipefail
cd "$1"
template=$(mktemp)
trap 'rm -f "$template"' EXIT
xgettext --keyword=Tr --keyword=Format:1 --keyword=WithName:1 --from-code=UTF-8 --no-location -L C++ \
    -o "$template" ./*.cpp
sed -i 's/charset=CHARSET/charset=UTF-8/' "$template"
msgcmp po/pl.po "$template"                      # every message has its Polish text
msgcmp --use-untranslated "$template" po/pl.po   # and the catalogue no message the program lost
if msgattrib --only-fuzzy po/pl.po | grep -q msgid; then
    echo "po/pl.po has fuzzy messages"
    exit 1
fi
echo "every message of drganik-rec has its Polish text"
