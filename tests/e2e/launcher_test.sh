#!/usr/bin/env bash
# The installed launcher's choice and making of the user's game folder, without a display (the
# game itself then stops at once: only the folder matters here).
# Usage: launcher_test.sh BUILD_DIR
set -u
. "$(dirname "$0")/window.sh"
build=$1
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAILED: cmake --install"; exit 1; }
launcher=$work/prefix/bin/gulper
made_message_count() { grep -c "made your game folder $1;" "$work/err.txt"; }
# one_line_saying PATTERN: standard error is one line, and it matches.
one_line_saying() { [ "$(wc -l <"$work/err.txt")" = 1 ] && grep -q "$1" "$work/err.txt"; }

# run NAME ENV...: the launcher started in a fresh folder with only ENV (and PATH).
run() {
    local name=$1
    shift
    mkdir -p "$work/cwd/$name"
    (cd "$work/cwd/$name" && env -i PATH="$PATH" "$@" "$launcher" >"$work/out.txt" 2>"$work/err.txt")
}

# Where the folder goes: table of name, environment (comma-separated), folder expected.
while read -r name env_line folder; do
    folder=${folder//@/$work}
    env_words=${env_line//@/$work}
    # shellcheck disable=SC2086
    run "$name" ${env_words//,/ }
    check "$name: the folder is $folder, with the shipped settings" \
        cmp -s "$folder/data/config.txt" "$work/prefix/share/gulper/data/config.txt"
    check "$name: the pictures are there" [ -s "$folder/data/gulperup.tga" ]
    check "$name: said once" [ "$(made_message_count "$folder")" = 1 ]
    check "$name: nothing made where it started" [ -z "$(ls -A "$work/cwd/$name")" ]
done <<'TABLE'
xdg        XDG_DATA_HOME=@/xdg                     @/xdg/gulper
home       HOME=@/home1                            @/home1/.local/share/gulper
relative   XDG_DATA_HOME=rel,HOME=@/home2          @/home2/.local/share/gulper
both       XDG_DATA_HOME=@/xdg2,HOME=@/home3       @/xdg2/gulper
TABLE

# An existing folder without data/ (made by the user) gets data/; what is in it stays.
mkdir -p "$work/home4/.local/share/gulper"
echo "mine" >"$work/home4/.local/share/gulper/notes.txt"
run existing HOME="$work/home4"
check "existing: data/ is made in it" [ -f "$work/home4/.local/share/gulper/data/config.txt" ]
check "existing: the user's file stays" grep -q mine "$work/home4/.local/share/gulper/notes.txt"

# A second start leaves the user's settings alone and says nothing.
echo "fps 7" >"$work/home4/.local/share/gulper/data/config.txt"
run again HOME="$work/home4"
check "again: the user's settings stay" [ "$(cat "$work/home4/.local/share/gulper/data/config.txt")" = "fps 7" ]
check "again: says nothing about the folder" [ "$(made_message_count "$work/home4/.local/share/gulper")" = 0 ]
check "again: no staging folder is left" [ -z "$(find "$work/home4/.local/share/gulper" -name '.data.*')" ]

# A picture a newer install ships is linked in at the next start; the user's own picture stays.
user_data=$work/home4/.local/share/gulper/data
rm "$user_data/dot.tga"
rm "$user_data/powerpill.tga" && echo "my own" >"$user_data/powerpill.tga"
run upgraded HOME="$work/home4"
check "upgraded: a missing shipped picture is linked in again" [ -s "$user_data/dot.tga" ]
check "upgraded: the user's own picture stays" [ "$(cat "$user_data/powerpill.tga")" = "my own" ]

# A picture link that leads nowhere (the install it pointed into is gone) is made again.
ln -sfn "$work/gone/dot.tga" "$user_data/dot.tga"
run mended HOME="$work/home4"
check "mended: a link to nowhere is linked to the shipped picture again" [ -s "$user_data/dot.tga" ]

# A data folder that is a link to something gone is named and left alone, not played bare.
mkdir -p "$work/home6/.local/share/gulper"
ln -s "$work/unmounted" "$work/home6/.local/share/gulper/data"
run dangling HOME="$work/home6"
status=$?
check "dangling data: fails" [ "$status" -ne 0 ]
check "dangling data: one line naming the link" \
    one_line_saying "is a link to $work/unmounted, which is not there"
check "dangling data: the link stays" [ -L "$work/home6/.local/share/gulper/data" ]

# Two first starts at the same moment make one whole folder, say so once and leave no staging
# folder behind; twenty times, since the race is not always lost.
broken=0
for i in $(seq 20); do
    home=$work/race$i
    mkdir -p "$home"
    (env -i PATH="$PATH" HOME="$home" "$launcher" >/dev/null 2>"$home.err1") &
    (env -i PATH="$PATH" HOME="$home" "$launcher" >/dev/null 2>"$home.err2") &
    wait
    folder=$home/.local/share/gulper
    if ! cmp -s "$folder/data/config.txt" "$work/prefix/share/gulper/data/config.txt" ||
        [ "$(find "$folder/data" -name '*.tga' -xtype f | wc -l)" -lt 30 ] ||
        [ "$(ls -A "$folder")" != data ] || [ "$(cat "$home".err* | grep -c "made your game folder")" != 1 ]; then
        broken=$((broken + 1))
        find "$folder" -maxdepth 2 | head -5
    fi
done
check "race: 20 pairs of first starts, none left a broken folder" [ "$broken" = 0 ]

# A home that is read-only or full: one line on what is wrong, and a failure. The file systems
# are mounted in a namespace of our own, where an ordinary user may mount.
if unshare -rm true 2>/dev/null; then
    # in_home MOUNT_OPTIONS: the launcher with a fresh tmpfs as its home; its status and stderr.
    in_home() {
        mkdir -p "$work/mnt"
        # shellcheck disable=SC2016  # expanded by the inner shell
        unshare -rm sh -c 'mount -t tmpfs -o "$1" tmpfs "$2" &&
            env -i PATH="$PATH" HOME="$2" "$3" >/dev/null 2>"$4"' sh "$1" "$work/mnt" "$launcher" \
            "$work/err.txt"
    }
    in_home ro
    status=$?
    check "read-only home: fails" [ "$status" -ne 0 ]
    check "read-only home: says so in one line" \
        one_line_saying "cannot make your game folder .*: Read-only file system"
    for inodes in 4 6; do  # full before the data folder is made, and while linking the pictures
        in_home size=4k,nr_inodes=$inodes
        status=$?
        check "full home ($inodes inodes): fails" [ "$status" -ne 0 ]
        check "full home ($inodes inodes): says so in one line" \
            one_line_saying "^gulper: cannot .*: No space left on device"
        sed "s/^/  /" "$work/err.txt"
    done
else
    echo "skipped: the read-only and full homes need unshare -rm"
fi

# No place for the folder at all.
run nowhere
status=$?
check "nowhere: fails" [ "$status" -ne 0 ]
check "nowhere: says why" grep -q "neither XDG_DATA_HOME nor HOME is set" "$work/err.txt"

# A broken install is named, not run.
mv "$work/prefix/share/gulper/data/config.txt" "$work/config.txt"
run broken HOME="$work/home5"
status=$?
check "broken: fails" [ "$status" -ne 0 ]
check "broken: names the missing settings" grep -q "shipped settings .* are missing" "$work/err.txt"
check "broken: makes no folder" [ ! -e "$work/home5/.local/share/gulper" ]
finish
