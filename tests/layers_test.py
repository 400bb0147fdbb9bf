"""The workbench stands in layers over the game, and every #include points down: to its own
folder's layer or a lower one, never up, never sideways to the other layer of the same rank.
process/ and picture/ include nothing outside their own folder, not even the game, and the
game includes nothing of the workbench. Above that, no units of the workbench include each
other round a circle; a header and the .cpp of the same name in the same folder are one unit.

Each fault is printed as FILE:LINE: ..., a circle as one line per include that closes it.

Usage: layers_test.py REPO_ROOT   check the tree; status 0 when every include points down
       layers_test.py --self-test check this checker on small trees of its own making
"""

import collections
import os
import posixpath
import re
import sys
import tempfile

# The layers from the bottom up: (name, rank, folders). An include may go to its own layer
# or to one of lower rank. The game is rank 0; the workbench starts at 1. A folder's files
# are its own, not its subfolders': each subfolder is listed where it belongs.
LAYERS = [
    ("game", 0, ["framework", "framework/platform", "framework/testing", "game",
                 "game/ghosts", "agent"]),
    ("process", 1, ["process"]),
    ("picture", 1, ["picture"]),
    ("episode", 2, ["episode"]),
    ("players", 3, ["players"]),
    ("formats", 4, ["formats"]),
    ("protocol", 5, ["protocol"]),
    ("study", 6, ["study"]),
    ("outputs", 7, ["outputs"]),
    ("render", 7, ["render"]),
    ("tools", 8, ["tools", "tools/sim", "tools/watch"]),
    ("python", 8, ["python/src"]),
]
# Layers that include nothing outside their own folder: no game header, no other layer.
STANDALONE = {"process", "picture"}
GAME = "game"
SOURCE_SUFFIXES = (".h", ".cpp")

RANK = {name: rank for name, rank, _ in LAYERS}
LAYER_OF_FOLDER = {folder: name for name, _, folders in LAYERS for folder in folders}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')


class Include:
    def __init__(self, file, line, path):
        self.file = file  # the including file, from the root
        self.line = line
        self.path = path  # as written


def unit_of(path):
    """A header and the .cpp of the same stem in the same folder are one unit."""
    return os.path.splitext(path)[0]


def source_files(root):
    """Every .h and .cpp of the listed folders, from the root; and those found under the
    listed folders in a subfolder no layer holds."""
    listed, stray = [], []
    for folder in sorted(LAYER_OF_FOLDER):
        here = os.path.join(root, folder)
        for dirpath, dirnames, filenames in os.walk(here):
            dirnames.sort()
            rel = posixpath.relpath(dirpath.replace(os.sep, "/"), root.replace(os.sep, "/"))
            for name in sorted(filenames):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = posixpath.join(rel, name)
                if rel == folder:
                    listed.append(path)
                elif rel not in LAYER_OF_FOLDER:
                    stray.append(path)
    return listed, sorted(set(stray))


def read_includes(root, path):
    found = []
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        for number, text in enumerate(f, 1):
            m = INCLUDE.match(text)
            if not m:
                continue
            bracket, written = m.groups()
            # <...> is a system or library header unless it names one of our folders.
            if bracket == "<" and posixpath.dirname(written) not in LAYER_OF_FOLDER:
                continue
            found.append(Include(path, number, written))
    return found


def arrow_fault(source, target, written):
    """Why an include from layer `source` to layer `target` is wrong, or None."""
    if source == target:
        return None
    if source in STANDALONE:
        return (f'{source}/ includes nothing outside its own folder, yet includes "{written}" '
                f"({target})")
    if source == GAME:
        return f'the game includes the workbench: "{written}" ({target}, rank {RANK[target]})'
    if RANK[target] > RANK[source]:
        return (f'points up: {source} (rank {RANK[source]}) includes "{written}" '
                f"({target}, rank {RANK[target]})")
    if RANK[target] == RANK[source]:
        return (f'points sideways: {source} includes "{written}" ({target}, the same rank '
                f"{RANK[source]})")
    return None


def circles(edges):
    """A circle for every arrow that leads back to a unit still being walked (a depth-first
    walk in name order): enough to name each tangle, each circle a list of units whose first
    is repeated at the end."""
    found, done, walking = [], set(), []

    def walk(node):
        walking.append(node)
        for succ in sorted(edges.get(node, ())):
            if succ in walking:
                found.append(walking[walking.index(succ):] + [succ])
            elif succ not in done:
                walk(succ)
        walking.pop()
        done.add(node)

    for node in sorted(edges):
        if node not in done:
            walk(node)
    return found


class Report:
    def __init__(self):
        self.faults = []  # each a list of lines
        self.units = set()
        self.files = 0
        self.includes = 0

    def fault(self, *lines):
        self.faults.append(list(lines))

    def text(self):
        return "\n".join(line for fault in self.faults for line in fault)


def check(root):
    report = Report()
    for folder in sorted(LAYER_OF_FOLDER):
        if not os.path.isdir(os.path.join(root, folder)):
            report.fault(f"{folder}/: a layer's folder that is not in the tree; "
                         "LAYERS must say where its files went")
    listed, stray = source_files(root)
    for path in stray:
        report.fault(f"{path}:1: in a folder no layer holds; add {posixpath.dirname(path)} "
                     "to LAYERS")
    report.files = len(listed)

    # Workbench unit -> included workbench unit -> the includes that make the arrow.
    arrows = collections.defaultdict(lambda: collections.defaultdict(list))
    for path in listed:
        source = LAYER_OF_FOLDER[posixpath.dirname(path)]
        report.units.add(unit_of(path))
        for inc in read_includes(root, path):
            report.includes += 1
            where = f"{inc.file}:{inc.line}:"
            target_path = posixpath.normpath(inc.path)
            folder = posixpath.dirname(target_path)
            if not folder:
                report.fault(f'{where} "{inc.path}" is not written by its path from the '
                             "repository root")
                continue
            if target_path.startswith("../") or target_path.startswith("/"):
                report.fault(f'{where} "{inc.path}" reaches outside the repository root')
                continue
            if folder not in LAYER_OF_FOLDER:
                report.fault(f'{where} "{inc.path}" is in a folder no layer holds')
                continue
            if not os.path.isfile(os.path.join(root, target_path)):
                report.fault(f'{where} "{inc.path}" is no file in the tree')
                continue
            target = LAYER_OF_FOLDER[folder]
            why = arrow_fault(source, target, inc.path)
            if why:
                report.fault(f"{where} {why}")
            if source != GAME and target != GAME:
                a, b = unit_of(path), unit_of(target_path)
                if a != b:
                    arrows[a][b].append(inc)

    edges = {u: set(vs) for u, vs in arrows.items()}
    for circle in circles(edges):
        lines = [f"circle of {len(circle) - 1} units: " + " -> ".join(circle)]
        for u, v in zip(circle, circle[1:]):
            for inc in arrows[u][v]:
                lines.append(f'{inc.file}:{inc.line}: {u} -> {v}: #include "{inc.path}"')
        report.fault(*lines)
    return report


def run(root):
    if not os.path.isdir(root):
        print(f"layers_test.py: {root}: no such folder", file=sys.stderr)
        return 2
    report = check(root)
    if report.faults:
        print(report.text())
        print(f"layers_test.py: {len(report.faults)} faults in {len(report.units)} units, "
              f"{report.includes} includes", file=sys.stderr)
        return 1
    print(f"layers point down: {len(report.units)} units ({report.files} files) and "
          f"{report.includes} include arrows checked, no circle")
    return 0


# The self-test: a small tree that is all in order, then the same tree with one fault planted
# at a time, each of which must be reported at its file and line and nothing else with it.

CLEAN_TREE = {
    "framework/window.h": [],
    "framework/platform/video.h": [],
    "framework/testing/inject.h": ["framework/window.h"],
    "game/maze.h": ["framework/window.h"],
    "game/ghosts/ghost.h": ["game/maze.h"],
    "agent/agent.h": ["game/maze.h"],
    "process/child_process.h": [],
    "process/line_channel.h": ["process/child_process.h"],
    "process/line_channel.cpp": ["process/line_channel.h"],
    "picture/canvas.h": [],
    "episode/episode.h": ["game/maze.h", "agent/agent.h", "process/child_process.h"],
    "episode/episode.cpp": ["episode/episode.h", "episode/result.h"],
    "episode/result.h": [],
    "players/registry.h": ["episode/episode.h"],
    "formats/json_writer.h": ["episode/result.h"],
    "protocol/protocol.h": ["players/registry.h", "formats/json_writer.h",
                            "process/line_channel.h"],
    "study/summary.h": ["episode/result.h"],
    "study/summary.cpp": ["study/summary.h", "study/exec_stats.h"],
    "study/exec_stats.h": ["formats/json_writer.h"],
    "outputs/report.h": ["study/summary.h", "picture/canvas.h"],
    "render/frame_renderer.h": ["episode/episode.h", "game/maze.h"],
    "tools/options.h": ["protocol/protocol.h"],
    "tools/sim/gulper_sim.cpp": ["tools/options.h", "outputs/report.h"],
    "tools/watch/watch_window.h": ["tools/options.h", "render/frame_renderer.h"],
    "python/src/bindings.h": ["study/summary.h", "render/frame_renderer.h"],
}


def write_tree(root, tree):
    for path, includes in tree.items():
        os.makedirs(os.path.join(root, posixpath.dirname(path)), exist_ok=True)
        with open(os.path.join(root, path), "w") as f:
            f.write("// made by layers_test.py --self-test\n#pragma once\n")
            for inc in includes:
                f.write(f'#include "{inc}"\n' if not inc.startswith("<") else f"#include {inc}\n")
            f.write("namespace gulper {}\n")


def planted(path, include, tree=None):
    """The clean tree with `include` added as the last include of `path`, and its line."""
    tree = {k: list(v) for k, v in (tree or CLEAN_TREE).items()}
    tree.setdefault(path, []).append(include)
    return tree, len(tree[path]) + 2


# Each case: what is planted, the tree, and the lines the report must start with (and no other
# fault). A planted include is its file's last, so its line is planted()'s.
def cases():
    for name, path, include, why in [
            ("an upward include", "episode/episode.h", "study/summary.h", "points up"),
            ("the game including the workbench, from a subfolder", "game/ghosts/ghost.h",
             "episode/result.h", "the game includes the workbench"),
            ("render including outputs", "render/frame_renderer.h", "outputs/report.h",
             "points sideways"),
            ("python/src including tools", "python/src/bindings.h", "tools/options.h",
             "points sideways"),
            ("process including a game header", "process/line_channel.cpp", "game/maze.h",
             "process/ includes nothing outside its own folder"),
            ("an upward include in angle brackets", "players/registry.h", "<study/summary.h>",
             "points up"),
            ("an include not written from the root", "study/summary.cpp", "summary.h",
             '"summary.h" is not written by its path')]:
        tree, line = planted(path, include)
        yield name, tree, [f"{path}:{line}: {why}"]

    # study/summary.cpp includes study/exec_stats.h: the header including summary's header
    # closes a circle of units that no one file closes.
    tree, _ = planted("study/exec_stats.h", "study/summary.h")
    yield "a circle of a header and another unit's .cpp", tree, [
        "circle of 2 units: study/summary -> study/exec_stats -> study/summary",
        'study/summary.cpp:4: study/summary -> study/exec_stats: #include "study/exec_stats.h"',
        'study/exec_stats.h:4: study/exec_stats -> study/summary: #include "study/summary.h"',
    ]
    tree = {**CLEAN_TREE, "players/a.h": ["players/b.h"], "players/b.h": [],
            "players/b.cpp": ["players/c.h"], "players/c.h": ["players/a.h"]}
    yield "a circle of three units", tree, [
        "circle of 3 units: players/a -> players/b -> players/c -> players/a",
        'players/a.h:3: players/a -> players/b: #include "players/b.h"',
        'players/b.cpp:3: players/b -> players/c: #include "players/c.h"',
        'players/c.h:3: players/c -> players/a: #include "players/a.h"',
    ]


def self_test():
    failures = 0
    with tempfile.TemporaryDirectory() as scratch:
        clean = os.path.join(scratch, "clean")
        write_tree(clean, CLEAN_TREE)
        report = check(clean)
        expected_includes = sum(len(v) for v in CLEAN_TREE.values())
        if report.faults or report.includes != expected_includes:
            print(f"FAIL: the clean tree: {report.includes} includes read of "
                  f"{expected_includes}, faults:\n{report.text()}")
            failures += 1
        else:
            print(f"ok: the clean tree passes, all {expected_includes} includes read")

        for number, (name, tree, wanted) in enumerate(cases()):
            root = os.path.join(scratch, f"case-{number}")
            write_tree(root, tree)
            report = check(root)
            lines = report.text().splitlines()
            missing = [w for w in wanted if not any(line.startswith(w) for line in lines)]
            extra = [line for line in lines if not any(line.startswith(w) for w in wanted)]
            if missing or extra:
                print(f"FAIL: {name}: missing {missing}, not expected {extra}")
                failures += 1
            else:
                print(f"ok: {name}: {wanted[0]}")

    if failures:
        print(f"layers_test.py --self-test: {failures} failed")
        return 1
    print("layers_test.py --self-test: every fault planted was reported")
    return 0


def main(argv):
    if argv == ["--self-test"]:
        return self_test()
    if len(argv) != 1 or argv[0].startswith("-"):
        print(__doc__.strip().split("\n\n")[-1], file=sys.stderr)
        return 2
    return run(argv[0])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
