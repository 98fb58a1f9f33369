#!/usr/bin/env bash
# The window's cost while it is open and while it is not: CPU and wake-ups of the dashboard
# with every card breathing, of a running reset, and of the hidden window, each measured in
# its own private headless session, the rounds interleaved.
# Usage: bench/measure-window.sh [seconds per run] [rounds]
#   SPINDREL_PROGRAM names the binary to measure (build/src/spindrel by default).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
rounds="${2:-2}"
for round in $(seq "$rounds"); do
    for mode in shown reset hidden; do
        # The dashboard with the posture and exercise cards; the reset page and the hidden
        # window as a fresh install has them.
        cards=""
        [ "$mode" = shown ] && cards=on
        SPINDREL_MEASURE_WINDOW="$mode" SPINDREL_MEASURE_CARDS="$cards" SPINDREL_MEASURE_THREADS=on \
            "$root/bench/measure-process.sh" "$seconds"
    done
done
