#!/usr/bin/env bash
# A C agent that does not flush its output forfeits every game for want of an answer to its
# hello, and the summary itself says so, how often, and what to check; built with the flush, it
# plays, and the summary's exec lines are as they always were. A Python agent that prints
# without flushing plays too. Skipped without a C compiler.
# Usage: unflushed_test.sh GULPER_SIM SOURCE_DIR
set -euo pipefail
sim=$1
source_dir=$2
cc=$(command -v cc || command -v gcc || command -v clang || true)
if [ -z "$cc" ]; then
    echo "SKIPPED: no C compiler"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cc" -O1 -o "$work/unflushed" "$source_dir/tests/protocol/unflushed_agent.c"
"$cc" -O1 -DFLUSH -o "$work/flushed" "$source_dir/tests/protocol/unflushed_agent.c"
config=(--config "$source_dir/data/config.txt" --games 3 --jobs 1 --max-ticks 300)

"$sim" --agent "exec:$work/unflushed" "${config[@]}" --start-ms 300 >"$work/out.txt"
expected='forfeit:      3 (no answer to hello in 300 ms: 3)
              no answer to hello: does the agent flush its standard output after each line? see docs/agent-protocol.md'
if ! grep -qxF "$(head -n 1 <<<"$expected")" "$work/out.txt" ||
    [ "$(grep -A1 '^forfeit:' "$work/out.txt")" != "$expected" ]; then
    echo "FAILED: the summary of an agent that never flushes:"
    cat "$work/out.txt"
    exit 1
fi

"$sim" --agent "exec:$work/flushed" "${config[@]}" >"$work/out.txt"
if [ "$(grep -A1 '^forfeit:' "$work/out.txt" | cut -c1-15)" != "forfeit:      0
answer time:  m" ] || grep -q 'does the agent flush' "$work/out.txt"; then
    echo "FAILED: the summary of an agent that flushes:"
    cat "$work/out.txt"
    exit 1
fi
# A Python agent that only prints: the simulator starts it with PYTHONUNBUFFERED=1.
cat >"$work/printing.py" <<'PY'
import sys
for line in sys.stdin:
    if '"type":"hello"' in line:
        print('{"name":"printing"}')
    elif '"type":"decide"' in line:
        print('{"action":0}')
PY
env -u PYTHONUNBUFFERED "$sim" --agent "exec:python3 $work/printing.py" "${config[@]}" \
    >"$work/out.txt"
if ! grep -qx 'forfeit:      0' "$work/out.txt"; then
    echo "FAILED: a Python agent that prints without flushing:"
    cat "$work/out.txt"
    exit 1
fi
echo "ok: the unflushed C agent's forfeits are explained in the summary; the flushed one plays, and so does Python's print"
