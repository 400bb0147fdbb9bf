"""A Gulper agent over the line protocol (docs/agent-protocol.md), standard library only.

    import gulper_agent
    gulper_agent.run(lambda obs: 3)               # always right

`run(decide, name=..., start=None, end=None)` reads the simulator's lines from standard input
until it closes. For each game it calls `start(hello)` when given and answers the hello with
`name`, in the newest protocol both sides speak; for each decision it calls `decide(obs)` and
sends what it returns, with the decision's number under protocol 2: an action (0 keep
going, 1 left, 2 up, 3 right, 4 down), or a pair (action, plan) where plan is a dict with
"route" (a list of [column, row]), "goal" ([column, row]) and "state" (one word), drawn by
gulper-watch. At each game's end it calls `end(message)` when given.
"""

import json
import sys

KEEP, LEFT, UP, RIGHT, DOWN = range(5)
# The newest version of the protocol this kit speaks.
PROTOCOL = 2


def run(decide, name="python agent", start=None, end=None, stdin=None, stdout=None):
    stdin = stdin or sys.stdin
    stdout = stdout or sys.stdout
    protocol = 1
    for line in stdin:
        message = json.loads(line)
        kind = message.get("type")
        if kind == "hello":
            if start is not None:
                start(message)
            protocol = min(int(message.get("protocol", 1)), PROTOCOL)
            answer = {"name": name}
            if protocol >= 2:
                answer["protocol"] = protocol
        elif kind == "decide":
            chosen = decide(message["obs"])
            answer = {"decision": message["decision"]} if protocol >= 2 else {}
            if isinstance(chosen, tuple):
                action, plan = chosen
                answer.update(action=int(action), plan=plan)
            else:
                answer["action"] = int(chosen)
        elif kind == "end":
            if end is not None:
                end(message)
            continue
        else:
            continue
        stdout.write(json.dumps(answer, separators=(",", ":")) + "\n")
        stdout.flush()
