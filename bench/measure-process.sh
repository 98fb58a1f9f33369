#!/usr/bin/env bash
# Runs the built spindrel in a private headless session for a while and reports the CPU time
# it used and its memory, read from /proc.
# Usage: bench/measure-process.sh [seconds] [image]
#   With an image, posture tracking is on and the image is played as a 30 fps camera.
#   SPINDREL_PROGRAM names another program to measure (the component gallery, say).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-600}"
image="${2:-}"

if [ -z "${SPINDREL_MEASURE_INSIDE:-}" ]; then
    export SPINDREL_MEASURE_INSIDE=1
    exec env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS xvfb-run -a -s "-screen 0 1280x800x24" \
        dbus-run-session -- "$0" "$@"
fi

config="$(mktemp -d)"
# Let it save its day before its folder goes.
trap 'kill "$pid" 2>/dev/null && wait "$pid"; rm -rf "$config"' EXIT
args=()
what="idle"
if [ -n "$image" ]; then
    mkdir -p "$config/spindrel"
    printf '[General]\npostureTrackingEnabled=true\n' > "$config/spindrel/spindrel.conf"
    args=(--camera-image "$(realpath "$image")" --camera-fps 30)
    what="posture tracking on, $(basename "$image") at 30 fps"
fi
program="${SPINDREL_PROGRAM:-$root/build/src/spindrel}"
[ -n "${SPINDREL_PROGRAM:-}" ] && what="$(basename "$program"), visible"
XDG_CONFIG_HOME="$config" "$program" "${args[@]}" &
pid=$!
sleep 2
ticks_per_second="$(getconf CLK_TCK)"
cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
start="$(cpu_ticks)"
sleep "$seconds"
end="$(cpu_ticks)"
rss="$(awk '/VmRSS/ {print $2, $3}' "/proc/$pid/status")"
wakeups="$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$pid/status")"
awk -v t="$((end - start))" -v hz="$ticks_per_second" -v s="$seconds" -v rss="$rss" \
    -v w="$wakeups" -v what="$what" \
    'BEGIN { printf "%s for %d s: CPU %.2f s (%.4f %% of one core), RSS %s, voluntary context switches %d\n", what, s, t / hz, 100 * t / hz / s, rss, w }'
