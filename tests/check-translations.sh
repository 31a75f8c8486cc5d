#!/usr/bin/env bash
# Every text of each program's own has its Traditional Chinese translation: lupdate gathers
# the texts of the sources into a copy of the program's translation, and none may be left
# without. Arguments: lupdate, then for each program its translation and source folders,
# the programs separated by --.
set -euo pipefail
lupdate=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A translation, then its source folders.
check() {
    local translation=$1
    shift
    local copy
    copy="$work/$(basename "$translation")"
    cp "$translation" "$copy"
    "$lupdate" -silent -no-obsolete -locations none "$@" -ts "$copy"
    if grep -q 'type="unfinished"' "$copy"; then
        echo "Texts without a translation in $(basename "$translation") (run the update_translations target and translate them):"
        grep -B2 'type="unfinished"' "$copy" | grep '<source>' | sed 's/ *<source>/  /; s/<\/source>//'
        return 1
    fi
    echo "All $(grep -c '<source>' "$copy") texts of $(basename "$translation") are translated."
}

status=0
group=()
for argument in "$@" --; do
    if [ "$argument" != -- ]; then
        group+=("$argument")
        continue
    fi
    check "${group[@]}" || status=1
    group=()
done
exit $status
