#!/usr/bin/env bash
# The real spindrel binary on the test command's X server, session bus and notification daemon:
# the window, the tray icon, handing over to the running instance, a notification click, and a
# clean exit on SIGTERM. Usage: app-end-to-end.sh path/to/spindrel
set -uo pipefail
app="$1"
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

[ -n "${DISPLAY:-}" ] && [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] ||
    lacking "the display and session bus of scripts/test"

# Without a display to open it says so in one line and ends with status 1.
no_display() {  # no_display EXPECTED-WORDS ENV-ASSIGNMENTS...: its one line contains the words
    local said rc
    said="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${@:2}" timeout 10 "$app" 2>&1 >/dev/null)"
    rc=$?
    [ $rc -eq 1 ] && [ "$(printf '%s\n' "$said" | wc -l)" -eq 1 ] && [[ "$said" == *"$1"* ]] &&
        pass "without a usable display it exits 1 saying: $said" || fail "it exited $rc saying: $said"
}
no_display "DISPLAY and WAYLAND_DISPLAY are unset"
no_display 'the Wayland display "/nonexistent/wayland-0" could not be opened' \
    WAYLAND_DISPLAY=/nonexistent/wayland-0

make_scratch
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME/spindrel" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# A reminder a minute into the session, so that a notification comes within the test. It is
# given in the INI file of earlier versions, which Spindrel carries over at its first start.
printf '[General]\nreminderInterval=1\n' >"$XDG_CONFIG_HOME/spindrel/spindrel.conf"

window() { xdotool search --onlyvisible --name '^Spindrel$' 2>/dev/null | head -1; }
role() { xprop -id "$1" WM_WINDOW_ROLE 2>/dev/null | sed -n 's/.*= "\(.*\)"/\1/p'; }
# Sets x and y to an X window's top-left corner on the screen.
top_left() {
    eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print "x=" $4} /Absolute upper-left Y/ {print "y=" $4}')"
}
has_window() { [ -n "$(window)" ]; }
no_window() { [ -z "$(window)" ]; }

# A tray host on a panel at the top right, as many desktops have.
trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
    --transparent false --SetDockType false >/dev/null 2>&1 &
pids+=($!)
sleep 1
dunstctl close-all 2>/dev/null

start=$(date +%s%N)
QT_LOGGING_RULES="spindrel.*.debug=true" "$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=($app_pid)
if wait_for 5 has_window; then
    ms=$((($(date +%s%N) - start) / 1000000))
    geometry="$(xwininfo -id "$(window)" | awk '/Width/ {w=$2} /Height/ {h=$2} END {print w "x" h}')"
    [ "$geometry" = "380x580" ] && pass "the window opened by itself after $ms ms at $geometry" ||
        fail "the window is $geometry"
    [ "$(role "$(window)")" = "spindrel-dashboard" ] && pass "it shows the dashboard" ||
        fail "it shows $(role "$(window)")"
else
    fail "no window within 5 s"
fi

icon="$(xwininfo -root -tree | awk '/"Spindrel": \("spindrel" "Spindrel"\)  22x22/ {print $1}')"
if [ -n "$icon" ]; then
    pass "the tray icon is on the panel"
    top_left "$icon"
    xdotool mousemove $((x + 11)) $((y + 11)) click 1
    wait_for 3 no_window && pass "a click on the icon closes the window" ||
        fail "the window stayed after a click on the icon"
    kill -0 $app_pid 2>/dev/null && pass "closing the window leaves Spindrel running" ||
        fail "Spindrel ended with its window"
    # Past the double-click time: a second click within it is the second half of a double
    # click, which counts as the first click alone.
    sleep 0.6
    xdotool mousemove $((x + 11)) $((y + 11)) click 1
    wait_for 3 has_window && pass "a second click opens it again" || fail "no window after a second click"
    sleep 0.6
    xdotool mousemove $((x + 11)) $((y + 11)) click --repeat 2 --delay 80 1
    wait_for 3 no_window && sleep 0.6
    no_window && pass "a double click on the icon is one click: it closes the window, once" ||
        fail "a double click left the window open"
else
    fail "no tray icon on the panel"
fi

timeout 10 "$app" >/dev/null 2>&1
rc=$?
[ $rc -eq 0 ] && pass "a second start exits 0" || fail "a second start exited $rc"
wait_for 3 has_window && pass "and the running Spindrel shows its window" ||
    fail "no window after a second start"

# The reminder below must find the window on another page: "Settings" under a fresh day's cards.
on_page() { [ "$(role "$(window)")" = "spindrel-$1" ]; }
top_left "$(window)"
xdotool mousemove $((x + 190)) $((y + 474)) click 1
wait_for 3 on_page settings && pass "Settings opens the settings page" ||
    fail "after Settings the window shows '$(role "$(window)")'"

count() { dunstctl count displayed 2>/dev/null || echo 0; }
# The user works on meanwhile: a touch of the mouse now and then, away from the window, keeps
# the session going until the reminder is due (an absence of 90 s would be a micro break).
working_until_reminded() {
    [ "$(count)" -ge 1 ] && return 0
    if [ $((SECONDS - nudge_at)) -ge 10 ]; then
        xdotool mousemove 20 $((700 + SECONDS % 2))
        nudge_at=$SECONDS
    fi
    return 1
}
nudge_at=$SECONDS
if wait_for 120 working_until_reminded; then
    pass "a reminder reached the notification daemon"
    dunstctl action 0
    wait_for 5 on_page reset && pass "clicking it brings the window from settings to the reset page" ||
        fail "after the click the window shows '$(role "$(window)")'"
else
    fail "no reminder within 120 s; what Spindrel said:"
    sed 's/^/    /' "$work/app.log"
fi

ends_on_sigterm $app_pid
# Pages draw through effects of their own, which Qt cannot draw again through one on the page:
# it says so (only on a real display) and leaves parts of the page unpainted.
grep -q "QPainter" "$work/app.log" && fail "painting went wrong: $(grep -m1 QPainter "$work/app.log")" ||
    pass "its pages changed without a painting fault"
grep -q '"bankedMs"' "$XDG_CONFIG_HOME/spindrel/spindrel.json" && pass "and the day was saved" ||
    fail "the day record was not saved"
[ -f "$XDG_CONFIG_HOME/spindrel/spindrel.conf.migrated" ] && pass "the old INI file was carried over" ||
    fail "the old INI file was not moved aside after carrying it over"

# Without a tray host (stock GNOME has none) the window is the way in.
kill "${pids[0]}" 2>/dev/null
wait "${pids[0]}" 2>/dev/null
rm -f "$XDG_CONFIG_HOME/spindrel/spindrel.json"
"$app" >"$work/app2.log" 2>&1 &
app_pid=$!
pids+=($app_pid)
wait_for 5 has_window && pass "without a tray host the window still opens" ||
    fail "without a tray host no window"
sleep 1
kill -0 $app_pid 2>/dev/null && pass "and Spindrel runs on" || fail "it ended without a tray host"
kill -TERM $app_pid
wait $app_pid

[ $failures -eq 0 ] || { cat "$work/app.log"; exit 1; }
