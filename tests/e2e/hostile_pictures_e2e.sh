#!/usr/bin/env bash
# The real game with every picture in data/ replaced by a hostile file: huge declared sizes in
# each format Image::Load takes, small files declaring big pictures, truncated files, runs past
# the end, colour indices past the table, empty and random files. The window still opens, the
# peak resident memory stays within 20 MiB of a run with the shipped pictures, and closing
# ends with status 0.
# Usage: hostile_pictures_e2e.sh GULPER_BINARY SOURCE_DIR
set -u
. "$(dirname "$0")/window.sh"
game=$(realpath "$1")
source_dir=$(realpath "$2")
need_tools xvfb-run xdotool import convert
in_own_xvfb "$XVFB_SERVER_ARGS" "$@"

put() {  # put BYTE...: decimal byte values to standard output
    local b
    # shellcheck disable=SC2059  # the format is an octal escape made for the byte
    for b in "$@"; do printf "\\$(printf %03o "$b")"; done
}
le16() { put $(($1 & 255)) $((($1 >> 8) & 255)); }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }
be16() { put $((($1 >> 8) & 255)) $(($1 & 255)); }
be32() { be16 $((($1 >> 16) & 65535)); be16 $(($1 & 65535)); }
zeros() { head -c "$1" /dev/zero; }
# Bytes that look random but are the same on every run.
noise() { LC_ALL=C awk -v n="$1" 'BEGIN { srand(17); for (i = 0; i < n; i++) printf "%c", int(rand() * 256) }'; }
targa() {  # targa TYPE WIDTH HEIGHT DEPTH: the 18-byte header
    put 0 0 "$1" 0 0 0 0 0 0 0 0 0; le16 "$2"; le16 "$3"; put "$4" 0
}
targa_footer() { zeros 8; printf 'TRUEVISION-XFILE.'; put 0; }
bitmap() {  # bitmap WIDTH HEIGHT BITS COMPRESSION IMAGE_SIZE TABLE_ENTRIES: the 54-byte headers
    printf 'BM'; le32 0; le32 0; le32 $((54 + 4 * $6)); le32 40; le32 "$1"; le32 "$2"
    le16 1; le16 "$3"; le32 "$4"; le32 "$5"; le32 0; le32 0; le32 "$6"; le32 0
}
png() {  # png WIDTH HEIGHT: signature and header chunk
    put 137 80 78 71 13 10 26 10; be32 13; printf 'IHDR'; be32 "$1"; be32 "$2"; put 8 2 0 0 0
    be32 0
}
jpeg() {  # jpeg WIDTH HEIGHT: start of picture and a baseline frame header for 3 components
    put 255 216 255 192; be16 17; put 8; be16 "$2"; be16 "$1"
    put 3 1 34 0 2 17 1 3 17 1
}
gif() {  # gif SCREEN_W SCREEN_H FRAME_W FRAME_H LZW_BYTE...: two colours, one frame
    printf 'GIF89a'; le16 "$1"; le16 "$2"; put 128 0 0 255 0 0 255 255 255
    put 44; le16 0; le16 0; le16 "$3"; le16 "$4"; put 0 2 $(($# - 4)) "${@:5}" 0 59
}

hostile="$work/hostile"
mkdir -p "$hostile"
(
    cd "$hostile" || exit 1
    # Huge declared sizes in every format.
    { targa 2 65535 65535 24; noise 64; } >tga-huge
    { targa 10 65535 65535 32; noise 64; targa_footer; } >tga-rle-huge-footer
    { bitmap 65535 65535 24 0 0 0; noise 64; } >bmp-huge
    { bitmap 65535 -65535 8 1 0 2; le32 0; le32 16777215; put 0 1; } >bmp-rle-huge
    { png 65535 65535; noise 64; } >png-huge
    { jpeg 65535 65535; noise 64; } >jpeg-huge
    gif 65535 65535 65535 65535 68 1 >gif-huge
    # Small files declaring pictures within the limits but far beyond what they hold.
    { png 8000 8000; zeros 5600; } >png-bomb
    { jpeg 8000 8000; noise 1000; put 255 217; } >jpeg-bomb
    gif 1 1 8000 8000 68 1 >gif-bomb
    { bitmap 8000 8000 8 1 0 2; le32 0; le32 16777215; put 0 1; } >bmp-rle-bomb
    { bitmap 8000 8000 24 0 0 0; noise 4096; } >bmp-short
    # Truncated pictures, each format.
    head -c 30000 "$source_dir/data/start.tga" >tga-cut
    for format in png jpeg gif; do
        convert "$source_dir/data/start.tga" "$format:whole"
        head -c $(($(stat -c %s whole) / 2)) whole >"$format-cut"
    done
    rm whole
    { bitmap 2 2 24 0 0 0; noise 10; } >bmp-cut
    # Runs past the end of the picture, image sizes past the end of the file.
    { targa 10 2 2 24; put 132 1 2 3; } >tga-run-past-end
    { targa 10 2 2 24; put 131 1 2 3 131 4 5 6; } >tga-runs-after-the-end
    { bitmap 1 1 24 0 1000 0; put 1 2 3 0; } >bmp-size-past-end
    # Colour indices past the table.
    { bitmap 2 1 8 0 0 2; le32 0; le32 16777215; put 0 200 0 0; } >bmp-index-past-table
    gif 2 1 2 1 196 10 >gif-index-past-table
    # Empty and random files, and random files behind each signature.
    : >empty
    noise 4096 >random
    { put 137 80 78 71 13 10 26 10; noise 2000; } >png-random
    { put 255 216 255; noise 2000; } >jpeg-random
    { printf 'GIF89a'; noise 2000; } >gif-random
    { printf 'BM'; noise 2000; } >bmp-random
) || { echo "FAILED: could not write the hostile files"; exit 1; }

# data_dir NAME: a folder with the shipped settings and pictures, as a starting point.
data_dir() {
    mkdir -p "$work/$1/data"
    cp "$source_dir"/data/* "$work/$1/data/"
    echo "$work/$1"
}

peak_rss() { awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status"; }  # the game's, in KiB

# ---- The shipped pictures: the reference for memory.
shipped=$(data_dir shipped)
start_in "$shipped" "$game"
sleep 2
shipped_rss=$(peak_rss)
stop

# ---- Every picture hostile.
attack=$(data_dir attack)
mapfile -t files < <(ls "$hostile")
index=0
for picture in "$attack"/data/*.tga; do
    cp "$hostile/${files[index % ${#files[@]}]}" "$picture"
    index=$((index + 1))
done
check "every hostile file stands in for a picture" [ "$index" -ge "${#files[@]}" ]
started=$(date +%s%N)
start_in "$attack" "$game"
window_ms=$((($(date +%s%N) - started) / 1000000))
xdotool key --window "$wid" space
sleep 2
shot attack
hostile_rss=$(peak_rss)
stop
echo "window after ${window_ms} ms; peak resident memory: shipped pictures ${shipped_rss} KiB, hostile pictures ${hostile_rss} KiB"
check "hostile: peak memory within 20 MiB of the shipped pictures' run" \
    [ "$hostile_rss" -le $((shipped_rss + 20 * 1024)) ]
check "hostile: the walls are drawn" is_colour "$work/attack.png" 10 140 0 0 255
check "hostile: closes with status 0" [ "$status" -eq 0 ]
check "hostile: nothing on standard error" [ ! -s "$work/err.txt" ]
sed "s/^/  stderr: /" "$work/err.txt"

finish
