#!/usr/bin/env python3
"""Damaged parts of a study given to gulper-sim --merge with the good other part.

Real parts are played first (a built-in agent's study and an exec agent's, 2 parts of 6 games
each), then damaged in well over 120 ways: flipped bytes, cut files, duplicate, unknown and
swapped keys, huge counts, values out of range, settings that are not the study's, and files
that are not files (/dev/zero, a pipe nobody writes, a folder). Each merge must end with status
0 or 1 (never a signal), within its time, with its largest resident size under 64 MiB (measured
by wait4, per merge); a refusal names the damaged file, and an accepted merge writes exactly
what the undamaged parts give.

Usage: damaged_parts_test.py GULPER_SIM SOURCE_DIR
"""
import hashlib
import os
import random
import re
import resource
import signal
import subprocess
import sys
import tempfile
import time

SIM, SOURCE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
TIMEOUT_S = 30
VERBOSE = os.environ.get("VERBOSE") == "1"
MAX_RSS_KIB = 64 * 1024
# A guard only (the measure is the resident size): runaway allocation fails fast instead of
# taking the machine's memory.
ADDRESS_LIMIT = 1 << 30
EXEC_AGENT = "exec:python3 " + os.path.join(SOURCE, "kits/python/nearest_food.py")
STUDIES = {
    "builtin": ["--agent", "nearest-food"],
    "exec": ["--agent", EXEC_AGENT],
}


def run(args, cwd):
    """Status (negative: the signal), stdout, stderr and largest resident size in KiB."""
    out_path, err_path = os.path.join(cwd, "run.out"), os.path.join(cwd, "run.err")
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        pid = os.fork()
        if pid == 0:
            try:
                os.chdir(cwd)
                os.dup2(out.fileno(), 1)
                os.dup2(err.fileno(), 2)
                # A sanitized build maps terabytes of shadow it never touches: there the
                # resident size alone is measured.
                if not os.environ.get("GULPER_SANITIZED"):
                    resource.setrlimit(resource.RLIMIT_AS, (ADDRESS_LIMIT, ADDRESS_LIMIT))
                os.execv(SIM, [SIM] + args)
            finally:
                os._exit(127)
    deadline = time.monotonic() + TIMEOUT_S
    while True:
        done, status, usage = os.wait4(pid, os.WNOHANG)
        if done:
            break
        if time.monotonic() > deadline:
            os.kill(pid, signal.SIGKILL)
            os.wait4(pid, 0)
            raise AssertionError("gulper-sim %s did not end in %d s" % (" ".join(args), TIMEOUT_S))
        time.sleep(0.01)
    code = os.waitstatus_to_exitcode(status)
    with open(out_path, "rb") as out, open(err_path, "rb") as err:
        return code, out.read(), err.read(), usage.ru_maxrss


def play(work, name, agent_args):
    """The two parts of a 6-game study, and what merging them writes."""
    base = agent_args + ["--games", "6", "--seed", "4", "--jobs", "1",
                         "--config", os.path.join(SOURCE, "data/config.txt")]
    parts = []
    for k in (1, 2):
        path = os.path.join(work, "%s%d.json" % (name, k))
        code, _, err, _ = run(base + ["--shard", "%d/2" % k, "--json", path], work)
        assert code == 0, err.decode()
        parts.append(path)
    return parts


def merged(work, part1, part2):
    """Status, the outputs an accepted merge writes, its standard error and resident size."""
    for f in ("m.json", "m.csv"):
        if os.path.exists(os.path.join(work, f)):
            os.unlink(os.path.join(work, f))
    code, out, err, rss = run(["--merge", part1, part2, "--json", "m.json", "--csv", "m.csv"],
                              work)
    outputs = out
    if code == 0:
        for f in ("m.json", "m.csv"):
            with open(os.path.join(work, f), "rb") as held:
                outputs += held.read()
    return code, outputs, err, rss


def resigned(text):
    """The text with its games' digest worked out again, so that only the checks of the
    values themselves can find what was changed in them."""
    start = text.find('"games": [')
    end = text.find("\n  ],\n  \"games_sha256\": ")
    if start < 0 or end < 0:
        return text
    rows = text[start + len('"games": ['):end].split(",\n    ")
    digest = hashlib.sha256("".join(row.strip() + "\n" for row in rows).encode()).hexdigest()
    return re.sub(r'"games_sha256": "\w*"', '"games_sha256": "%s"' % digest, text)


def editor(text, out):
    """A function that adds (name, bytes) to `out` for an edit of the games' rows (rows=True)
    or of the whole text, and again with the games' digest worked out afresh."""
    games_at = text.find('"games": [')

    def edit(name, pattern, replacement, count=1, rows=True):
        start = games_at if rows else 0
        edited, n = re.subn(pattern, replacement, text[start:], count=count)
        assert n > 0, name
        edited = text[:start] + edited
        out.append((name, edited.encode()))
        out.append((name + "-resigned", resigned(edited).encode()))
    return edit


def variants(text, rng):
    """(name, bytes) of damaged copies of a part's text."""
    data = text.encode()
    out = []
    for i in range(45):
        at = rng.randrange(len(data))
        damaged = bytearray(data)
        damaged[at] ^= 1 << rng.randrange(8)
        out.append(("flip-%d@%d" % (i, at), bytes(damaged)))
    for i in range(15):
        cut = rng.randrange(len(data))
        out.append(("cut-%d@%d" % (i, cut), data[:cut]))
    out.append(("empty", b""))

    row_edit = editor(text, out)

    # Duplicate keys, in a game and in the header: the last one would win.
    for key in ("seed", "result", "score", "food_left", "ticks", "decisions"):
        row_edit("dup-" + key, r'("%s": [^,}]+)' % key, r'\1, "%s": 0' % key)
    for key in ("max_ticks", "first_seed", "program_version"):
        row_edit("dup-top-" + key, r'("%s": [^,\n]+)' % key, r'\1,\n  "%s": 1' % key, rows=False)
    row_edit("dup-shard", r'("shard": \{[^}]*\})',
             r'\1,\n  "shard": {"part": 1, "parts": 2, "games": 6}', rows=False)
    # Unknown and misspelt keys: once skipped, the value read as 0 or "none".
    for key in ("score", "caught_by", "ticks", "food_left"):
        row_edit("misspelt-" + key, '"%s":' % key, '"%s_":' % key)
    row_edit("unknown-row-key", r'"decisions": (\d+)', r'"decisions": \1, "bonus": 7')
    row_edit("unknown-top-key", r'"max_ticks": (\d+)', r'"max_ticks": \1,\n  "extra": true',
             rows=False)
    # Huge counts: games the file cannot hold.
    for games in ("100000000", "99999999", "1000000"):
        row_edit("huge-games-" + games, r'"games": 6\}', '"games": %s}' % games, rows=False)
    row_edit("huge-parts", r'"parts": 2', '"parts": 100000', rows=False)
    row_edit("huge-part", r'"part": 1,', '"part": 100000,', rows=False)
    # Values out of range, or at odds with the settings and each other.
    for name, pattern, replacement in [
            ("ticks-2^52", r'"ticks": \d+', '"ticks": 4503599627370496'),
            ("ticks-over-limit", r'"ticks": \d+', '"ticks": 100001'),
            ("score-negative", r'"score": \d+', '"score": -5'),
            ("score-too-high", r'"score": \d+', '"score": 99999999'),
            ("score-too-low", r'"score": \d+', '"score": 0'),
            ("score-fraction", r'"score": (\d+)', r'"score": \1.5'),
            ("food-over-board", r'"food_left": \d+', '"food_left": 100000'),
            ("food-negative", r'"food_left": \d+', '"food_left": -1'),
            ("decisions-over-ticks", r'"decisions": \d+', '"decisions": 99999'),
            ("caught-far", r'"caught_at": \[[^\]]*\]', '"caught_at": [1e9, -1e9]'),
            ("caught-off-board", r'"caught_at": \[[^\]]*\]', '"caught_at": [19, 3]'),
            ("caught-three", r'"caught_at": \[([^\]]*)\]', r'"caught_at": [\1, 4]'),
            ("caught-one", r'"caught_at": \[(\d+), \d+\]', r'"caught_at": [\1]'),
            ("caught-by-none", r'"caught_by": "\w+"', '"caught_by": "none"'),
            ("caught-by-purple", r'"caught_by": "\w+"', '"caught_by": "purple"'),
            ("result-drawn", r'"result": "\w+"', '"result": "drawn"'),
            ("result-won-with-food", r'"result": "lost"', '"result": "won"'),
            ("result-unfinished-caught", r'"result": "lost"', '"result": "unfinished"'),
            ("result-forfeit", r'"result": "lost"', '"result": "forfeit"'),
            ("seed-negative", r'"seed": \d+', '"seed": -1'),
            ("seed-shifted", r'"seed": 4,', '"seed": 5,'),
            ("state-long", r'"state": "(\w*)"', '"state": "%s"' % ("x" * 100)),
            ("number-nan", r'"ticks": \d+', '"ticks": NaN'),
            ("number-huge-exponent", r'"ticks": \d+', '"ticks": 1e999'),
    ]:
        row_edit(name, pattern, replacement)
    # Swapped keys and values: a key's value given to another, or the keys in another order
    # (which changes nothing).
    row_edit("swap-ticks-decisions", r'"ticks": (\d+), "decisions": (\d+)',
             r'"ticks": \2, "decisions": \1')
    row_edit("swap-score-food", r'"score": (\d+), "food_left": (\d+)',
             r'"score": \2, "food_left": \1')
    row_edit("swap-order-score-food", r'"score": (\d+), "food_left": (\d+)',
             r'"food_left": \2, "score": \1', count=0)
    row_edit("swap-order-header", r'"first_seed": (\d+),\n  "max_ticks": (\d+)',
             r'"max_ticks": \2,\n  "first_seed": \1', rows=False)
    row_edit("swap-part-parts", r'"part": 1, "parts": 2', '"part": 2, "parts": 1', rows=False)
    for name, pattern, replacement in [
            ("max-ticks-zero", r'"max_ticks": \d+', '"max_ticks": 0'),
            ("max-ticks-other", r'"max_ticks": \d+', '"max_ticks": 99999'),
            ("first-seed-other", r'"first_seed": \d+', '"first_seed": 5'),
            ("settings-other", r'fps 20', 'fps 19'),
            ("settings-sha-other", r'"settings_sha256": "\w', '"settings_sha256": "0'),
            ("settings-gone", r',\n  "settings_text": "[^"]*"', ''),
            ("settings-and-sha-gone", r',\n  "settings_sha256": "\w+",\n  "settings_text": "[^"]*"',
             ''),
            ("settings-ghost-off", r'red_ghost 1', 'red_ghost 0'),
            ("version-other", r'"program_version": "[^"]*"', '"program_version": "0.0"'),
            ("version-gone", r',\n  "program_version": "[^"]*"', ''),
            ("agent-other", r'"agent": "[^"]*"', '"agent": "planner"'),
            ("games-gone", r'(?s)"games": \[.*\n  \]', '"games": [\n  ]'),
            ("nesting", r'"summary": ', '"summary": ' + "[" * 40 + "]" * 40 + ', "x": '),
            # The summary is worked out again from the games, but must be theirs.
            ("summary-won", r'"won": \d+', '"won": 5'),
            ("summary-dup", r'"lost": (\d+)', r'"lost": \1, "lost": 0'),
            ("summary-unknown", r'"lost": (\d+)', r'"lost": \1, "drawn": 0'),
            ("summary-score", r'"mean": [\d.]+', '"mean": 1'),
    ]:
        row_edit(name, pattern, replacement, rows=False)
    out.append(("trailing", data + b" {}"))
    out.append(("nul-inside", data[:50] + b"\0" + data[51:]))
    return out


def exec_variants(text):
    """Damage only an exec agent's part can take."""
    out = []
    edit = editor(text, out)

    edit("exec-name-other", r'"agent_name": "[^"]*"', '"agent_name": "someone-else"', rows=False)
    edit("exec-name-gone", r',\n  "agent_name": "[^"]*"', '', rows=False)
    edit("exec-name-control", r'"agent_name": "[^"]*"', '"agent_name": "a\\\\u001bb"', rows=False)
    edit("exec-late-negative", r'"late_answers": \d+', '"late_answers": -1')
    edit("exec-fault-count", r'"timeout": 0', '"timeout": 3')
    edit("exec-fault-kind", r'"crash": 0', '"crash": 0, "stray-unknown": 0')
    edit("exec-fault-kind-gone", r', "crash": 0', '')
    edit("exec-answers-over", r'"answers": \d+, "median"', '"answers": 999999, "median"')
    edit("exec-times-fall", r'"median": \d+', '"median": 999999999')
    edit("exec-histogram-bucket", r'"histogram": \[\[\d+', '"histogram": [[99999')
    edit("exec-fields-gone", r', "answer_us": \{[^}]*\}', '')
    edit("exec-forfeit-reason", r'"late_answers": (\d+)', r'"late_answers": \1, "forfeit_reason": "x"')
    edit("exec-fault-list", r'"late_answers": (\d+)',
         r'"late_answers": \1, "fault_list": [{"decision": 1, "kind": "bogus", "detail": ""}]')
    edit("exec-fault-list-mismatch", r'"late_answers": (\d+)',
         r'"late_answers": \1, "fault_list": [{"decision": 1, "kind": "timeout", "detail": ""}]')
    return out


def main():
    failures = []
    count = accepted = 0
    most_rss = 0
    with tempfile.TemporaryDirectory(prefix="gulper-damaged-") as work:
        fifo = os.path.join(work, "fifo")
        os.mkfifo(fifo)
        os.mkdir(os.path.join(work, "folder"))
        os.symlink("/dev/zero", os.path.join(work, "zero-link"))
        for name, agent_args in STUDIES.items():
            part1, part2 = play(work, name, agent_args)
            code, good, err, rss = merged(work, part1, part2)
            assert code == 0, err.decode()
            print("%s: the undamaged parts merge (largest resident size %d KiB)" % (name, rss))
            with open(part1) as held:
                text = held.read()
            rng = random.Random(name)
            cases = variants(text, rng) + (exec_variants(text) if name == "exec" else [])
            files = [("dev-zero", "/dev/zero"), ("fifo-nobody-writes", fifo),
                     ("folder", os.path.join(work, "folder")), ("link-to-dev-zero",
                     os.path.join(work, "zero-link")), ("missing", os.path.join(work, "none"))]
            for case, data in cases:
                path = os.path.join(work, "damaged-%s-%s.json" % (name, case))
                with open(path, "wb") as damaged:
                    damaged.write(data)
                files.append((case, path))
            for case, path in files:
                count += 1
                code, outputs, err, rss = merged(work, path, part2)
                most_rss = max(most_rss, rss)
                what = "%s/%s" % (name, case)
                if code not in (0, 1):
                    failures.append("%s: status %d: %s" % (what, code, err.decode(errors="replace")[-300:]))
                elif rss > MAX_RSS_KIB:
                    failures.append("%s: %d KiB resident" % (what, rss))
                elif code == 0:
                    accepted += 1
                    if outputs != good:
                        failures.append("%s: accepted with other outputs" % what)
                    if VERBOSE:
                        print("accepted " + what)
                elif path.encode() not in err or not err.startswith(b"gulper-sim: "):
                    failures.append("%s: the refusal does not name the file: %s" %
                                    (what, err.decode(errors="replace")))
                elif case.endswith("-resigned") and b"games_sha256" in err:
                    failures.append("%s: the digest was not worked out again" % what)
                elif VERBOSE:
                    print("refused %s: %s" % (what, err.decode(errors="replace").strip()[-160:]))
    print("%d damaged parts merged: %d accepted with the undamaged outputs, %d refused; the "
          "largest resident size %d KiB" % (count, accepted, count - accepted, most_rss))
    for failure in failures:
        print("FAILED " + failure)
    assert count >= 120, count
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
