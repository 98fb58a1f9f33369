#!/usr/bin/env bash
# Runs the built spindrel in a private headless session (X server, session bus, notification
# daemon) for a while and reports the CPU time it used, its wake-ups and its memory, read from
# /proc.
# Usage: bench/measure-process.sh [seconds] [image]
#   With an image, posture tracking is on and the image is played as a 30 fps camera.
#   SPINDREL_PROGRAM names another program to measure (the component gallery, say).
#   SPINDREL_MEASURE_WINDOW says what the window does meanwhile:
#     shown (the default): it opens on the dashboard and stays;
#     hidden: a tray host runs and a click on the icon closes the window, as a user would;
#     reset: the reset page runs a walking routine (three or five minutes).
#   SPINDREL_MEASURE_CARDS=on shows the posture and exercise cards too (posture tracking on,
#     without a camera), so that every card of the dashboard breathes.
#   SPINDREL_MEASURE_SITTING_MINUTES starts the day with that much sitting already counted, so
#     that the badge shows a medium (from 360) or high (from 480) risk.
#   SPINDREL_MEASURE_SETTLE waits that many seconds more before measuring: the first tick,
#     30 s in, shows the stored day, and with it a change of risk level and its short fade.
#   SPINDREL_MEASURE_PICTURE names a PNG to save of the window when the measuring ends.
#   SPINDREL_MEASURE_THREADS=on adds each thread's own wake-ups.
#   SPINDREL_MEASURE_FRAMES=on adds the frames the window sent to the X server, the time each
#     took to send and the pixels in each (build/bench/libspindrel_frame_counter.so, preloaded).
# Wake-ups are the context switches, voluntary and involuntary, of all the process's threads
# over the measured time; CPU is user and system time over the same time.
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
pid=""
tray_pid=""
dunst_pid=""
stop_all() {
    # Let it save its day before its folder goes.
    [ -z "$pid" ] || { kill "$pid" 2>/dev/null && wait "$pid"; } || true
    [ -z "$tray_pid" ] || kill "$tray_pid" 2>/dev/null || true
    [ -z "$dunst_pid" ] || kill "$dunst_pid" 2>/dev/null || true
    rm -rf "$config"
}
trap stop_all EXIT
dunst >/dev/null 2>&1 &
dunst_pid=$!
args=()
what="idle"
settings=()
if [ -n "$image" ]; then
    settings+=("postureTrackingEnabled=true")
    args=(--camera-image "$(realpath "$image")" --camera-fps 30)
    what="posture tracking on, $(basename "$image") at 30 fps"
fi
if [ "${SPINDREL_MEASURE_CARDS:-}" = on ]; then
    settings+=("showExerciseOffset=true")
    [ -n "$image" ] || settings+=("postureTrackingEnabled=true")
    what="$what, all cards"
fi
if [ -n "${SPINDREL_MEASURE_SITTING_MINUTES:-}" ]; then
    settings+=("lastDate=$(date +%Y-%m-%d)" "bankedMs=$((SPINDREL_MEASURE_SITTING_MINUTES * 60000))")
    what="$what, ${SPINDREL_MEASURE_SITTING_MINUTES} min sat today"
fi
if [ ${#settings[@]} -gt 0 ]; then
    mkdir -p "$config/spindrel"
    # The INI file of earlier versions, which Spindrel carries over at its first start.
    printf '[General]\n' > "$config/spindrel/spindrel.conf"
    printf '%s\n' "${settings[@]}" >> "$config/spindrel/spindrel.conf"
fi
program="${SPINDREL_PROGRAM:-$root/build/src/spindrel}"
[ -n "${SPINDREL_PROGRAM:-}" ] && what="$(basename "$program"), $what"
preload=()
frames_file="$config/frames"
if [ "${SPINDREL_MEASURE_FRAMES:-}" = on ]; then
    counter="$root/build/bench/libspindrel_frame_counter.so"
    [ -f "$counter" ] || { echo "build the benches first: $counter is missing" >&2; exit 1; }
    preload=(env LD_PRELOAD="$counter" SPINDREL_FRAME_COUNT_FILE="$frames_file")
fi
XDG_CONFIG_HOME="$config" "${preload[@]}" "$program" "${args[@]}" &
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
        icon=""
        for _ in $(seq 50); do
            icon="$(xwininfo -root -tree | awk '/"Spindrel": \("spindrel" "Spindrel"\)  22x22/ {print $1}')"
            [ -z "$icon" ] || break
            sleep 0.2
        done
        [ -n "$icon" ] || { echo "no tray icon to click" >&2; exit 1; }
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
# The pointer rests outside the window, so that nothing there is held still by it.
xdotool mousemove 1270 790
what="$what, window $window_mode"
# Everything the window does once: first paint, page change, the first breaths settling in.
sleep 2
sleep "${SPINDREL_MEASURE_SETTLE:-0}"
[ "${SPINDREL_MEASURE_SETTLE:-0}" = 0 ] || what="$what after ${SPINDREL_MEASURE_SETTLE} s"
ticks_per_second="$(getconf CLK_TCK)"
cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
# Time on a CPU in nanoseconds, summed over the threads living at the time: finer than the
# clock ticks above, which count a window's few milliseconds a second in hundredths.
cpu_ns() { cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d\n", s }'; }
# Each thread's id, name, and voluntary and involuntary context switches so far, one line each.
switches() {
    for task in /proc/"$pid"/task/*; do
        awk -v tid="${task##*/}" -v name="$(tr ' ' _ < "$task/comm" 2>/dev/null)" \
            '/^voluntary_ctxt_switches/ {v = $2} /^nonvoluntary_ctxt_switches/ {n = $2}
             END { if (v != "") print tid, name, v, n }' "$task/status" 2>/dev/null || true
    done
}
# The counter writes its totals once a second: read them a second apart from the span's edges.
frame_totals() { cat "$frames_file" 2>/dev/null || echo "0 0 0"; }
before="$(switches)"
frames_before="$(frame_totals)"
start="$(cpu_ticks)"
start_ns="$(cpu_ns)"
sleep "$seconds"
end="$(cpu_ticks)"
end_ns="$(cpu_ns)"
after="$(switches)"
sleep 1.1
frames_after="$(frame_totals)"
if [ -n "${SPINDREL_MEASURE_PICTURE:-}" ] && [ -n "$(window)" ] && command -v import >/dev/null; then
    import -window "$(window)" "$SPINDREL_MEASURE_PICTURE"
fi
rss="$(awk '/VmRSS/ {print $2, $3}' "/proc/$pid/status")"
# The process's fair share of the pages it shares with others, libraries above all.
pss="$(awk '/^Pss:/ {print $2, $3}' "/proc/$pid/smaps_rollup" 2>/dev/null || echo unknown)"
# Per thread: switches in the measured time (a thread born meanwhile counts from zero).
per_thread="$(awk 'NR == FNR { v[$1] = $3; n[$1] = $4; next }
    { print $1, $2, $3 - (($1 in v) ? v[$1] : 0), $4 - (($1 in n) ? n[$1] : 0) }' \
    <(printf '%s\n' "$before") <(printf '%s\n' "$after"))"
wakeups="$(printf '%s\n' "$per_thread" | awk '{ s += $3 + $4 } END { print s + 0 }')"
awk -v t="$((end - start))" -v hz="$ticks_per_second" -v s="$seconds" -v rss="$rss" \
    -v pss="$pss" -v w="$wakeups" -v what="$what" \
    'BEGIN { printf "%s for %d s: CPU %.2f s (%.4f %% of one core), %.2f wake-ups per second, RSS %s, PSS %s\n", what, s, t / hz, 100 * t / hz / s, w / s, rss, pss }'
awk -v ns="$((end_ns - start_ns))" -v s="$seconds" \
    'BEGIN { printf "  on a CPU: %.1f ms (%.4f %% of one core), by the scheduler'"'"'s clock\n", ns / 1e6, 100 * ns / 1e9 / s }'
if [ "${SPINDREL_MEASURE_FRAMES:-}" = on ]; then
    printf '%s %s\n' "$frames_before" "$frames_after" | awk -v s="$seconds" \
        '{ n = $4 - $1; t = $5 - $2; p = $6 - $3; printf "  frames sent: %.2f per second, %.3f ms and %.0f pixels each\n", n / s, (n > 0 ? t / n / 1e6 : 0), (n > 0 ? p / n : 0) }'
fi
if [ "${SPINDREL_MEASURE_THREADS:-}" = on ]; then
    printf '%s\n' "$per_thread" | sort -k3,3nr |
        awk -v s="$seconds" '$3 + $4 > 0 { printf "  thread %s %s: %.2f wake-ups per second (%.2f voluntary, %.2f involuntary)\n", $1, $2, ($3 + $4) / s, $3 / s, $4 / s }'
fi
