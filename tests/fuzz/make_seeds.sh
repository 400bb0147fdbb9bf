#!/usr/bin/env bash
# Writes the fuzzers' seed corpus: small pictures in each layout the readers take, made from a
# shipped picture, the shipped settings, and agents' answers.
# Usage: make_seeds.sh SOURCE_DIR FOLDER; makes FOLDER/tga, bmp, image (every format
# Image::Load accepts), config and answers.
set -eu
data=$1/data
out=$2
mkdir -p "$out/tga" "$out/bmp" "$out/image" "$out/config" "$out/answers"
small() {  # a translucent 5 x 3 picture
    convert "$data/gulperright.tga" -resize '5x3!' -alpha set -channel A -evaluate set 50% +channel "$@"
}
small -alpha off "tga:$out/tga/plain24"
small "tga:$out/tga/plain32"
small -compress RLE "tga:$out/tga/rle32"
small -alpha off -compress RLE "tga:$out/tga/rle24"
small -alpha off -type TrueColor "bmp3:$out/bmp/colour24"
small -alpha off -type Palette "bmp3:$out/bmp/palette8"
small -alpha off -type Palette -compress RLE "bmp3:$out/bmp/rle8"
small -alpha off -define bmp:subtype=RGB565 "bmp:$out/bmp/rgb565"
small "bmp:$out/bmp/alpha32"
for kind in tga bmp; do
    for seed in "$out/$kind"/*; do cp "$seed" "$out/image/$kind-${seed##*/}"; done
done
small "png32:$out/image/png"
small -quality 90 "jpeg:$out/image/jpeg"
small "gif:$out/image/gif"
convert "$data/gulperright.tga" "$data/gulperup.tga" -resize '4x4!' "gif:$out/image/gif-two-frames"
cp "$data/config.txt" "$out/config/shipped"
printf 'fps 99\nx' >"$out/config/short"
# Answers to hello and to decide, of both protocol versions, one line each without its newline.
answer() { printf '%s' "$2" >"$out/answers/$1"; }
answer hello1 '{"name":"nearest-food (Python)"}'
answer hello2 '{"name":"n","protocol":2}'
answer bare '3'
answer action '{"action":3}'
answer decision '{"decision":5,"action":1}'
answer plan '{"decision":0,"action":3,"plan":{"route":[[9,9],[10,9],[11,9]],"goal":[11,9],"state":"feeding"}}'
answer escapes '{"action":0,"note":"\u00e9\ud83d\ude00","x":[1.5e3,null,true,{}]}'
