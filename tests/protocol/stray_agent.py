"""The kit's nearest-food agent, writing lines nobody asked for; its moves are the clean agent's.

v1-extra   protocol 1: a line before reading the hello, and after every answer an extra line in
           the same write
v2-noisy   protocol 2: before every answer a line that is no answer and an answer to the next
           decision, after it a second answer to the same decision, each flushed on its own
v2-wrong   protocol 2: answers every decision with the number of the one before (from the second)
v2-clean   protocol 2, nothing extra
"""

import json
import os
import sys

KITS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "kits", "python")
sys.path.insert(0, KITS)
import nearest_food  # noqa: E402


def send(*lines):
    sys.stdout.write("".join(line + "\n" for line in lines))
    sys.stdout.flush()


def answer(obs, decision=None):
    action, plan = nearest_food.decide(obs)
    message = {"action": int(action), "plan": plan}
    if decision is not None:
        message["decision"] = decision
    return json.dumps(message, separators=(",", ":"))


def main():
    mode = sys.argv[1]
    v2 = mode.startswith("v2")
    if mode == "v1-extra":
        send("agent starting")
    for line in sys.stdin:
        message = json.loads(line)
        if message["type"] == "hello":
            send(json.dumps({"name": "stray " + mode, "protocol": 2 if v2 else 1}))
        elif message["type"] == "decide":
            d = message["decision"]
            if mode == "v1-extra":
                send(answer(message["obs"]), '{"note":"thinking done"}')
            elif mode == "v2-noisy":
                send("thinking about decision %d" % d)
                send('{"decision":%d,"action":4}' % (d + 1))
                send(answer(message["obs"], d))
                send('{"decision":%d,"action":1}' % d)
            elif mode == "v2-wrong":
                send(answer(message["obs"], max(d - 1, 0)))
            else:
                send(answer(message["obs"], d))


if __name__ == "__main__":
    main()
