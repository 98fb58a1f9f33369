#!/usr/bin/env bash
# Starts the built spindrel several times in a private headless session and reports how long
# each took from its launch to the first window's complete paint (0.3 s of that is the
# designed delay). Usage: bench/measure-first-paint.sh [runs]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-5}"

source "$root/bench/headless-session.sh"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QT_LOGGING_RULES="spindrel.startup.debug=true"
times=()
for run in $(seq "$runs"); do
    launched="$(date +%s%3N)"
    "$root/build/src/spindrel" >"$work/log" 2>&1 &
    pid=$!
    for _ in $(seq 100); do
        grep -q 'first window painted' "$work/log" && break
        sleep 0.05
    done
    kill "$pid" && wait "$pid" || true
    painted="$(sed -n 's/.*first window painted at \([0-9]*\) ms.*/\1/p' "$work/log")"
    [ -n "$painted" ] || { echo "run $run: no window painted within 5 s" >&2; exit 1; }
    times+=($((painted - launched)))
    echo "run $run: first complete paint ${times[-1]} ms after launch"
done
printf '%s\n' "${times[@]}" | sort -n |
    awk '{a[NR] = $1} END {printf "median %d ms of %d runs (min %d, max %d)\n", a[int((NR + 1) / 2)], NR, a[1], a[NR]}'
