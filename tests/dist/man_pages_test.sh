#!/usr/bin/env bash
# The manual pages against the programs: each page renders without a warning, and the options a
# program's --help lists are those its page's OPTIONS section lists, with the same defaults.
# Usage: man_pages_test.sh MAN_DIR PROGRAM...  (MAN_DIR holds PROGRAM.6 for each, and gulper.6)
set -u
. "$(dirname "$0")/../e2e/window.sh"
need_tools man col
man_dir=$1
shift

for page in "$man_dir"/*.6; do
    check "${page##*/} renders without a warning" \
        [ -z "$(LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null)" ]
done

# options FILE: one line per option row, "--name" then the rest of the row.
help_rows() { sed -n 's/^  \(--[a-z-]*\) *\(.*\)/\1 \2/p' "$1"; }
# The rendered page's OPTIONS section, each entry on one line: "--name[, -h] text".
page_rows() {
    LC_ALL=C.UTF-8 MANWIDTH=250 man -l "$1" 2>/dev/null | col -bx | awk '
        /^[A-Z]/ { in_options = ($0 == "OPTIONS"); next }
        !in_options || /^ *$/ { next }
        /^       [^ ]/ { if (row != "") print row; sub(/^ +/, ""); row = $0; next }
        { sub(/^ +/, ""); row = row " " $0 }
        END { if (row != "") print row }' | grep -- '^--'
}

for program in "$@"; do
    name=${program##*/}
    page=$man_dir/$name.6
    "$program" --help >"$work/help.txt" 2>&1
    check "$name --help exits with status 0" [ $? -eq 0 ]
    help_rows "$work/help.txt" >"$work/help_rows.txt"
    page_rows "$page" >"$work/page_rows.txt"
    check "$name: --help lists options" [ -s "$work/help_rows.txt" ]
    # --help and -h are answered by every program without a row of their own in the usage.
    { cut -d' ' -f1 "$work/help_rows.txt"; echo --help; } | sort >"$work/help_options.txt"
    cut -d' ' -f1 "$work/page_rows.txt" | tr -d , | sort >"$work/page_options.txt"
    while read -r option; do
        check "$name: $option of --help is in the manual page" grep -qxF -- "$option" "$work/page_options.txt"
    done <"$work/help_options.txt"
    while read -r option; do
        check "$name: $option of the manual page is in --help" grep -qxF -- "$option" "$work/help_options.txt"
    done <"$work/page_options.txt"
    # A default --help gives is the page's too.
    sed -n 's/^\(--[a-z-]*\) .*(default \([^)]*\)).*/\1 \2/p' "$work/help_rows.txt" |
        while read -r option default; do
            row=$(grep -- "^$option " "$work/page_rows.txt")
            check "$name: the page gives $option's default, $default" grep -qF -- "default $default" <<<"$row"
        done >"$work/defaults.txt"
    cat "$work/defaults.txt"
    failures=$((failures + $(grep -c '^FAILED' "$work/defaults.txt")))
done
finish
