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
