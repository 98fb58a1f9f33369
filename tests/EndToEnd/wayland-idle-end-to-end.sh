#!/usr/bin/env bash
# The real spindrel binary on a headless sway 1.7 or KWin 5.27: it takes its idle time from the
# compositor's idle notification, and an absence of 90 seconds (nobody touches anything) counts
# a micro break. On sway, typing through the compositor's virtual keyboard then ends the break.
# Usage: wayland-idle-end-to-end.sh path/to/spindrel [sway|kwin]
set -uo pipefail
app="$1"
compositor="${2:-sway}"
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

binary=sway
[ "$compositor" = kwin ] && binary=kwin_wayland
command -v "$binary" >/dev/null || lacking "$binary (Debian package ${compositor/kwin/kwin-wayland})"

make_scratch

if [ "$compositor" = sway ]; then
    # sway refuses to run as root: as root it runs as nobody, in a runtime folder of its own.
    chmod 711 "$work"
    mkdir -m 700 "$work/sway" "$work/runtime"
    printf 'xwayland disable\n' >"$work/sway/sway.conf"
    as_user=()
    if [ "$(id -u)" -eq 0 ]; then
        chown -R 65534:65534 "$work/sway"
        as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    fi
    env -i PATH="$PATH" HOME="$work/sway" XDG_RUNTIME_DIR="$work/sway" WLR_BACKENDS=headless \
        WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        "${as_user[@]}" sway -c "$work/sway/sway.conf" >"$work/compositor.log" 2>&1 &
    pids+=($!)
    socket() { ls "$work"/sway/wayland-? 2>/dev/null | head -1; }
    uses="org_kde_kwin_idle"
    shown() { swaymsg -t get_tree 2>/dev/null | grep -q '"app_id": "spindrel"'; }
    close_window() {
        swaymsg kill >/dev/null
        wait_for 5 bash -c '! swaymsg -t get_tree | grep -q spindrel'
    }
else
    # The installed KWin carries a file capability a container refuses to grant; a plain copy,
    # under the same name, runs. Its session and system buses are its own.
    mkdir -m 700 "$work/kwin" "$work/runtime"
    cp "$(command -v kwin_wayland)" "$work/kwin/kwin_wayland"
    for bus in session system; do
        dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/kwin/$bus-bus" &
        pids+=($!)
    done
    kwin_bus="unix:path=$work/kwin/session-bus"
    sleep 1
    env -i PATH="$PATH" HOME="$work/kwin" XDG_RUNTIME_DIR="$work/kwin" \
        DBUS_SESSION_BUS_ADDRESS="$kwin_bus" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/kwin/system-bus" \
        "$work/kwin/kwin_wayland" --virtual --width 1280 --height 800 --socket wayland-spindrel \
        >"$work/compositor.log" 2>&1 &
    pids+=($!)
    socket() { [ -S "$work/kwin/wayland-spindrel" ] && echo "$work/kwin/wayland-spindrel"; }
    uses="ext_idle_notifier_v1"
    # KWin's own scripting answers what windows it has, and closes them.
    kwin_script() {  # kwin_script NAME JAVASCRIPT: runs it in KWin, whose log gets its prints
        printf '%s\n' "$2" >"$work/kwin/$1.js"
        DBUS_SESSION_BUS_ADDRESS="$kwin_bus" dbus-send --session --print-reply --dest=org.kde.KWin \
            /Scripting org.kde.kwin.Scripting.loadScript string:"$work/kwin/$1.js" string:"$1" >/dev/null &&
            DBUS_SESSION_BUS_ADDRESS="$kwin_bus" dbus-send --session --print-reply --dest=org.kde.KWin \
                /Scripting org.kde.kwin.Scripting.start >/dev/null
    }
    # Its window list is a list, not an array: no forEach.
    on_spindrel() {  # on_spindrel NAME STATEMENT: runs the statement on each Spindrel window
        kwin_script "$1" "const all = workspace.clientList();
            for (let i = 0; i < all.length; ++i) { const c = all[i];
                if (c.resourceClass == 'spindrel') { $2 } }"
    }
    shown_count=0
    shown() {
        shown_count=$((shown_count + 1))
        on_spindrel "list$shown_count" "print('shown $shown_count');"
        sleep 0.5
        grep -q "js: shown $shown_count\$" "$work/compositor.log"
    }
    close_window() {
        on_spindrel close "c.closeWindow();"
        sleep 1
        ! shown
    }
fi
has_socket() { [ -S "$(socket)" ]; }
wait_for 20 has_socket || { cat "$work/compositor.log"; echo "FAIL: $compositor did not start"; exit 1; }
[ "$compositor" = sway ] && export SWAYSOCK="$(ls "$work"/sway/sway-ipc.*.sock | head -1)"

# A Wayland session as a login makes it, with no X display to fall back on.
start=$SECONDS
env -u DISPLAY WAYLAND_DISPLAY="$(socket)" XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=wayland \
    XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" \
    QT_LOGGING_RULES="spindrel.idle.info=true" "$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=($app_pid)

uses_wayland() { grep -qs "spindrel.idle: idle time from Wayland $uses" "$work/app.log"; }
wait_for 10 uses_wayland && pass "its log says it uses the compositor's idle notification" ||
    fail "its log says: $(grep spindrel.idle "$work/app.log")"

wait_for 30 shown && pass "its window opened on $compositor" || fail "no window on $compositor"
# Closed, as a user would leave it while away; it counts on behind the window.
close_window && sleep 1
kill -0 $app_pid 2>/dev/null && pass "closing the window leaves it running" ||
    fail "it ended with its window"

# Nobody touches anything: the tick at 90 s (or the next, 30 s on) sees the absence.
breaks() { sed -n 's/.*"microBreaksToday": \([0-9]*\).*/\1/p' "$work/config/spindrel/spindrel.json" 2>/dev/null; }
counted() { [ "$(breaks)" = 1 ]; }
if wait_for 150 counted; then
    pass "a 90-second absence counted one micro break, $((SECONDS - start)) s after start"
else
    fail "no micro break counted within 150 s (microBreaksToday: '$(breaks)')"
fi

# Typing on the compositor's own virtual keyboard ends the break: the next tick banks it. KWin
# has none for clients (its fake input is typed on in the idle source's own tests).
banked_break() { sed -n 's/.*"bankedBreakMs": "\([0-9.e+]*\)".*/\1/p' "$work/config/spindrel/spindrel.json" 2>/dev/null; }
break_banked() { [ -n "$(banked_break)" ] && [ "$(banked_break)" != "0" ]; }
if [ "$compositor" = kwin ]; then
    :
elif WAYLAND_DISPLAY="$(socket)" wtype "back at the desk" 2>/dev/null &&
    wait_for 45 break_banked && [ "$(breaks)" = 1 ]; then
    pass "typing ended the break: $(banked_break) ms of break banked, still one micro break"
else
    fail "typing did not end the break (bankedBreakMs: '$(banked_break)', breaks: '$(breaks)')"
fi

ends_on_sigterm $app_pid

[ $failures -eq 0 ] || { cat "$work/app.log"; exit 1; }
