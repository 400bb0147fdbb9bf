"""A strip of frames of one seed's game, as the game window draws them, side by side in one
PNG picture: the start, evenly spaced decisions, and the end.

    PYTHONPATH=build/python python3 python/scripts/render_strip.py [--seed S] [--frames N]
        [--agent NAME] [--out FILE]

Run it from the top of the repository: the frames use the pictures in data/.
"""

import argparse
import os
import struct
import sys
import zlib

import numpy as np

import gulper

GAP = 8  # black pixels between two frames


def write_png(path, picture):
    """An 8-bit RGB PNG of an (height, width, 3) uint8 array; written aside, then renamed."""
    height, width, _ = picture.shape
    rows = b"".join(b"\0" + picture[y].tobytes() for y in range(height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
    aside = path + ".part"
    with open(aside, "wb") as out:
        out.write(data)
    os.replace(aside, path)


def frames_of(seed, count, agent):
    """(decision, frame) pairs: the start, count - 2 evenly spaced decisions, the end."""
    policy = gulper.agent(agent)
    env = gulper.Env(config=os.path.join("data", "config.txt"))
    obs, info = env.reset(seed=seed)
    moves = []
    while True:
        moves.append(policy(obs, env))
        obs, _, terminated, truncated, info = env.step(moves[-1])
        if terminated or truncated:
            break
    total = info["decisions"]
    wanted = sorted({round(i * total / (count - 1)) for i in range(count)})
    obs, _ = env.reset(seed=seed)
    shots = []
    for decision in range(total + 1):
        if decision in wanted:
            shots.append((decision, env.render()))
        if decision < total:
            env.step(moves[decision])
    return shots, info


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seed", type=int, default=3)
    parser.add_argument("--frames", type=int, default=5, help="2 or more")
    parser.add_argument("--agent", default="planner", choices=gulper.agent_names())
    parser.add_argument("--out", default=os.path.join("docs", "render-strip.png"))
    args = parser.parse_args()
    if args.frames < 2:
        parser.error("--frames must be 2 or more")
    shots, info = frames_of(args.seed, args.frames, args.agent)
    height, width, _ = shots[0][1].shape
    strip = np.zeros((height, len(shots) * (width + GAP) - GAP, 3), np.uint8)
    for i, (_, frame) in enumerate(shots):
        strip[:, i * (width + GAP):i * (width + GAP) + width] = frame
    write_png(args.out, strip)
    at = ", ".join(str(d) for d, _ in shots)
    print(f"{args.out}: seed {args.seed}, {args.agent}, {info['outcome']} after "
          f"{info['decisions']} decisions; frames at decisions {at}")


if __name__ == "__main__":
    sys.exit(main())
