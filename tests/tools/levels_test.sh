#!/usr/bin/env bash
# The shipped levels: each file's bytes are the ones published (a level never changes within
# its set), gulper-sim lists exactly the files there are, each reads with no warning, and
# --level plays the same games as --config with the level's file.
# Usage: levels_test.sh GULPER_SIM SOURCE_DIR
set -u
sim=$(realpath "$1")
cd "$2" || exit 1
fail() { echo "FAILED: $*"; exit 1; }

sha256sum --check --strict --quiet tests/tools/levels_v1.sha256 ||
    fail "a level of set v1 has changed: a published level is fixed; make a new set instead"
listed=$("$sim" --levels | awk 'NR == 1 { if ($1 != "set" || $2 != "v1") exit 1; next } { print $1 }' | sort) ||
    fail "gulper-sim --levels does not start with the set v1"
files=$(cd data/levels/v1 && ls -- *.txt | sed 's/[.]txt$//' | sort)
hashed=$(sed 's|.*/||; s/[.]txt$//' tests/tools/levels_v1.sha256 | sort)
[ "$listed" = "$files" ] || fail "gulper-sim lists $(echo $listed) but data/levels/v1 holds $(echo $files)"
[ "$hashed" = "$files" ] || fail "the hashes cover $(echo $hashed), the files are $(echo $files)"
for level in $listed; do
    "$sim" --check-config "data/levels/v1/$level.txt" | tail -n 1 | grep -qx "no warnings" ||
        fail "$level: $("$sim" --check-config "data/levels/v1/$level.txt" | tail -n 3)"
done
a=$("$sim" --level brisk --games 6 --seed 9 --agent nearest-food 2>/dev/null | grep -v '^speed')
b=$("$sim" --config data/levels/v1/brisk.txt --games 6 --seed 9 --agent nearest-food 2>/dev/null |
    grep -v '^speed')
[ -n "$a" ] && [ "$a" = "$b" ] || fail "--level brisk did not play brisk's settings"
echo "ok: $(echo $listed | wc -w) levels, each as published, listed and read cleanly"
