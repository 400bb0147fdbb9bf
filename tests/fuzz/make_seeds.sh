#!/usr/bin/env bash
# Writes the fuzzers' seed corpus: small pictures in each layout the readers take, made from a
# shipped picture, the shipped settings, parts of small studies played by GULPER_SIM, and
# agents' answers.
# Usage: make_seeds.sh SOURCE_DIR FOLDER GULPER_SIM; makes FOLDER/tga, bmp, image (every
# format Image::Load accepts), config, merge and answers.
set -eu
data=$1/data
out=$2
mkdir -p "$out/tga" "$out/bmp" "$out/image" "$out/config" "$out/merge" "$out/answers"
out=$(realpath "$out")
sim=$(realpath "$3")
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
# Parts of a built-in agent's study, an exec agent's (its answer times and faults), and a
# comparison of settings files, played from the source folder so that data/ is found.
settings=$(realpath "$data/config.txt")
printf 'fps 20\nred_ghost 0\n' >"$out/merge/.two.txt"
(
    cd "$1"
    common=(--games 4 --seed 3 --jobs 1 --config "$settings")
    "$sim" "${common[@]}" --agent nearest-food --shard 1/2 --json "$out/merge/builtin"
    "$sim" "${common[@]}" --agent 'exec:python3 kits/python/random_walk.py' --shard 2/2 \
        --json "$out/merge/exec"
    "$sim" --games 4 --seed 3 --jobs 1 --compare-config "$settings,$out/merge/.two.txt" \
        --shard 1/2 --json "$out/merge/configs"
    "$sim" "${common[@]}" --compare planner,nearest-food --shard 2/2 --json "$out/merge/agents"
) >/dev/null 2>&1
rm "$out/merge/.two.txt"
# Answers to hello and to decide, of both protocol versions, one line each without its newline.
answer() { printf '%s' "$2" >"$out/answers/$1"; }
answer hello1 '{"name":"nearest-food (Python)"}'
answer hello2 '{"name":"n","protocol":2}'
answer bare '3'
answer action '{"action":3}'
answer decision '{"decision":5,"action":1}'
answer plan '{"decision":0,"action":3,"plan":{"route":[[9,9],[10,9],[11,9]],"goal":[11,9],"state":"feeding"}}'
answer escapes '{"action":0,"note":"\u00e9\ud83d\ude00","x":[1.5e3,null,true,{}]}'
