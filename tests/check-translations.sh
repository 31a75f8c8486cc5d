#!/usr/bin/env bash
# Every text of the panel's own has its Traditional Chinese translation: lupdate gathers
# the texts of the sources into a copy of the translation, and none may be left without.
# Arguments: lupdate, the translation, then the source folders.
set -euo pipefail
lupdate=$1
translation=$2
shift 2
copy=$(mktemp --suffix=.ts)
trap 'rm -f "$copy"' EXIT
cp "$translation" "$copy"
"$lupdate" -silent -no-obsolete -locations none "$@" -ts "$copy"
if grep -q 'type="unfinished"' "$copy"; then
    echo "Texts without a translation in $(basename "$translation") (run the update_translations target and translate them):"
    grep -B2 'type="unfinished"' "$copy" | grep '<source>' | sed 's/ *<source>/  /; s/<\/source>//'
    exit 1
fi
echo "All $(grep -c '<source>' "$copy") texts are translated."
