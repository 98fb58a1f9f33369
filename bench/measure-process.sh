#!/usr/bin/env bash
# Runs the built spindrel in a private headless session for a while and reports the CPU time
# it used and its memory, read from /proc.
# Usage: bench/measure-process.sh [seconds] [image]
#   With an image, posture tracking is on and the image is played as a 30 fps camera.
#   SPINDREL_PROGRAM names another program to measure (the component gallery, say).
#   SPINDREL_MEASURE_WINDOW says what the window does meanwhile:
#     shown (the default): it opens on the dashboard and stays;
#     hidden: a tray host runs and a click on the icon closes the window, as a user would;
#     reset: the reset page runs a walking routine (three or five minutes).
#   SPINDREL_MEASURE_PICTURE names a PNG to save of the window when the measuring ends.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-600}"
image="${2:-}"

source "$root/bench/headless-session.sh"
source "$root/bench/window-driving.sh"

config="$(mktemp -d)"
# A runtime folder of its own, so that it never hands over to a Spindrel already running.
export XDG_RUNTIME_DIR="$config/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
tray_pid=""
# Let it save its day before its folder goes.
trap 'kill "$pid" 2>/dev/null && wait "$pid"; [ -z "$tray_pid" ] || kill "$tray_pid"; rm -rf "$config"' EXIT
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
window_mode="${SPINDREL_MEASURE_WINDOW:-shown}"
if [ "$window_mode" = hidden ]; then
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
        --transparent false --SetDockType false >/dev/null 2>&1 &
    tray_pid=$!
fi
sleep 2
case "$window_mode" in
    hidden)
        icon="$(xwininfo -root -tree | awk '/"Spindrel": \("spindrel" "Spindrel"\)  22x22/ {print $1}')"
        top_left "$icon"
        xdotool mousemove $((x + 11)) $((y + 11)) click 1
        sleep 1
        [ -z "$(window)" ] || { echo "the window did not close" >&2; exit 1; }
        ;;
    reset)
        # "Take a Reset" on a fresh day's dashboard; on the reset page Tab past "Back" and
        # "Surprise Me" to "Walk", whose routines outlast a minute, then on to "Start".
        top_left "$(window)"
        xdotool mousemove $((x + 190)) $((y + 420)) click 1
        sleep 1
        press Tab Tab Tab space Tab Tab Tab Tab space
        ;;
esac
what="$what, window $window_mode"
ticks_per_second="$(getconf CLK_TCK)"
cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
start="$(cpu_ticks)"
sleep "$seconds"
end="$(cpu_ticks)"
if [ -n "${SPINDREL_MEASURE_PICTURE:-}" ] && [ -n "$(window)" ]; then
    import -window "$(window)" "$SPINDREL_MEASURE_PICTURE"
fi
rss="$(awk '/VmRSS/ {print $2, $3}' "/proc/$pid/status")"
wakeups="$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$pid/status")"
awk -v t="$((end - start))" -v hz="$ticks_per_second" -v s="$seconds" -v rss="$rss" \
    -v w="$wakeups" -v what="$what" \
    'BEGIN { printf "%s for %d s: CPU %.2f s (%.4f %% of one core), RSS %s, voluntary context switches %d\n", what, s, t / hz, 100 * t / hz / s, rss, w }'
