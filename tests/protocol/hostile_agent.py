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
    if mode == "deaf":
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
    if mode == "deaf":
        while True:
            time.sleep(1)


if __name__ == "__main__":
    main()
