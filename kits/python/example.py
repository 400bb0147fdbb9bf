"""The smallest agent: keeps right when it can, else goes up. Run it with
    gulper-sim --agent 'exec:python3 kits/python/example.py' --games 10
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gulper_agent  # noqa: E402

gulper_agent.run(lambda obs: gulper_agent.RIGHT if obs["tick"] % 2 else gulper_agent.UP,
                 name="example")
