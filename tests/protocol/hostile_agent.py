"""Agents that misbehave over the line protocol, one way each (the first argument):

silent      answers hello, then never answers
slow        answers every decision after the budget (the second argument, in ms)
garbage     answers every decision with a line that is no answer
endless     answers hello, then writes one line without end
exit-now    exits before reading anything
exit-mid    answers ten decisions, then exits
flood       answers well, and floods its standard error all the while
deaf        answers well, but stays when its input closes, and ignores SIGTERM
shut        answers hello, then closes its input and stays, answering nothing
fork-exit   starts a child that keeps our output open and sleeps, then exits
escape      starts a child in a session of its own and a daemon (forked twice, setsid
            between), both ignoring SIGTERM and sleeping; then answers well, but stays when its
            input closes, and ignores SIGTERM
benign      answers well (action 0)

Each process writes its pid into the folder $GULPER_TEST_PIDS, so the test can check that
none is left running.
"""

import os
import signal
import sys
import time


def note_pid():
    folder = os.environ.get("GULPER_TEST_PIDS")
    if folder:
        with open(os.path.join(folder, str(os.getpid())), "w") as f:
            f.write("hostile_agent\n")


def send(text):
    sys.stdout.write(text + "\n")
    sys.stdout.flush()


def linger():
    """In a forked child: leaves our pipes, notes its pid, and sleeps through SIGTERM."""
    signal.signal(signal.SIGTERM, signal.SIG_IGN)
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)
    note_pid()
    while True:
        time.sleep(1)


def escape():
    if os.fork() == 0:
        os.setsid()
        linger()
    if os.fork() == 0:
        os.setsid()
        if os.fork() == 0:
            linger()
        os._exit(0)
    os.wait()  # the daemon's first parent, so that the daemon is an orphan


def main():
    mode = sys.argv[1]
    note_pid()
    if mode == "exit-now":
        return
    if mode == "fork-exit":
        if os.fork() == 0:
            note_pid()
            time.sleep(600)
        return
    if mode == "escape":
        escape()
    if mode in ("deaf", "escape"):
        signal.signal(signal.SIGTERM, signal.SIG_IGN)
    decisions = 0
    for line in sys.stdin:
        if '"hello"' in line:
            send('{"name":"hostile %s"}' % mode)
            if mode == "shut":
                os.close(0)
                time.sleep(600)
            if mode == "endless":
                chunk = "x" * 65536
                while True:
                    sys.stdout.write(chunk)
            continue
        if '"decide"' not in line:
            continue
        decisions += 1
        if mode == "silent":
            continue
        if mode == "slow":
            time.sleep(int(sys.argv[2]) / 1000.0)
        if mode == "garbage":
            send('{"action": 7, "what": [}')
            continue
        if mode == "exit-mid" and decisions > 10:
            os._exit(3)
        if mode == "flood":
            sys.stderr.write("e" * 20000)
        send('{"action":0}')
    if mode in ("deaf", "escape"):
        while True:
            time.sleep(1)


if __name__ == "__main__":
    main()
