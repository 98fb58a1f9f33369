#!/usr/bin/env bash
# Pictures of the real window on each page and of the tray icon on a light and a dark panel,
# taken in a private headless session. Posture tracking is on with a photograph as the camera,
# so that the posture card and the calibration page have somebody to show.
# Usage: bench/window-pictures.sh [folder]   (default: build/pictures)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(realpath -m "${1:-$root/build/pictures}")"
source "$root/bench/headless-session.sh"
source "$root/bench/window-driving.sh"
mkdir -p "$out"
program="$root/build/src/spindrel"
photo="$root/tests/data/astronaut.png"

work=""
pid=""
tray_pid=""
stop() {
    [ -z "$pid" ] || { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; }
    [ -z "$tray_pid" ] || { kill "$tray_pid" 2>/dev/null; wait "$tray_pid" 2>/dev/null || true; }
    [ -z "$work" ] || rm -rf "$work"
    pid="" tray_pid="" work=""
}
trap stop EXIT

role() { xprop -id "$(window)" WM_WINDOW_ROLE 2>/dev/null | sed -n 's/.*= "\(.*\)"/\1/p'; }
# Starts a fresh Spindrel on a fresh day and waits for its window.
launch() {
    work="$(mktemp -d)"
    mkdir -p "$work/config/spindrel" && mkdir -m 700 "$work/runtime"
    printf '[General]\npostureTrackingEnabled=true\n' >"$work/config/spindrel/spindrel.conf"
    XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
        "$program" --camera-image "$photo" --camera-fps 5 >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 200); do [ -n "$(window)" ] && break; sleep 0.05; done
    [ -n "$(window)" ] || { echo "Spindrel showed no window" >&2; exit 1; }
    sleep 2  # the first posture reading and the fade-ins
}
click() {  # click X Y: at a point of the window
    top_left "$(window)"
    xdotool mousemove $((x + $1)) $((y + $2)) click 1
    sleep 1
}
picture() {  # picture NAME PAGE: saves the window, after checking which page it shows
    [ "$(role)" = "spindrel-$2" ] || { echo "expected the $2 page, found '$(role)'" >&2; exit 1; }
    import -window "$(window)" "$out/$1.png"
    echo "$out/$1.png"
}

# Where the dashboard's controls sit on a fresh day with posture tracking on.
# The posture card reads its first verdict at the tracker's first 30-second tick.
launch; sleep 30; picture dashboard dashboard; stop
launch; click 190 498; picture reset reset
# Tab past "Back" and "Surprise Me" to "Walk", then on to "Start".
press Tab Tab Tab space Tab Tab Tab Tab space; sleep 2; picture reset-running reset; stop
launch; click 190 548; picture settings settings; stop
launch; click 303 388; sleep 2; picture calibration calibration; stop

# The tray icon on a light and on a dark panel. Panels that follow the tray specification
# advertise the colour their icons should take; trayer does not, so we advertise it for it.
for panel in light dark; do
    if [ "$panel" = light ]; then tint=0xf2f2f2 ink="0x2e2e,0x3434,0x3636"; else
        tint=0x242424 ink="0xeeee,0xecec,0xf0f0"; fi
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 --transparent true \
        --alpha 0 --tint "$tint" --SetDockType false >/dev/null 2>&1 &
    tray_pid=$!
    sleep 1
    for w in $(xwininfo -root -tree | awk '/"(trayer|panel)"/ {print $1}'); do
        xprop -id "$w" -f _NET_SYSTEM_TRAY_COLORS 32c \
            -set _NET_SYSTEM_TRAY_COLORS "$ink,0,0,0,0,0,0,0,0,0"
    done
    launch
    import -window root -crop 120x24+1160+0 +repage "$out/tray-$panel.png"
    convert "$out/tray-$panel.png" -filter point -resize 400% "$out/tray-$panel-x4.png"
    echo "$out/tray-$panel.png"
    stop
done
