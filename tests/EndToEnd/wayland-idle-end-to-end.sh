#!/usr/bin/env bash
# The real spindrel binary on a headless sway 1.7: it takes its idle time from the compositor's
# idle notification, and an absence of 90 seconds (nobody touches anything) counts a micro
# break. Usage: wayland-idle-end-to-end.sh path/to/spindrel
set -uo pipefail
app="$1"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

if ! command -v sway >/dev/null; then
    [ -n "${SPINDREL_TEST_SERVICES:-}" ] && { echo "FAIL: sway is not installed"; exit 1; }
    echo "skipped: needs sway (Debian package sway)"; exit 0
fi

work="$(mktemp -d)"
# sway refuses to run as root: as root it runs as nobody, in a runtime folder of its own.
chmod 711 "$work"
mkdir -m 700 "$work/sway" "$work/runtime"
printf 'xwayland disable\n' >"$work/sway/sway.conf"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$work/sway"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT

wait_for() {  # wait_for SECONDS COMMAND...: until the command succeeds
    local until=$((SECONDS + $1)); shift
    while [ $SECONDS -lt "$until" ]; do "$@" && return 0; sleep 0.2; done
    return 1
}

env -i PATH="$PATH" HOME="$work/sway" XDG_RUNTIME_DIR="$work/sway" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    "${as_user[@]}" sway -c "$work/sway/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
socket() { ls "$work"/sway/wayland-? 2>/dev/null | head -1; }
has_socket() { [ -S "$(socket)" ]; }
wait_for 20 has_socket || { cat "$work/sway.log"; echo "FAIL: sway did not start"; exit 1; }
export SWAYSOCK="$(ls "$work"/sway/sway-ipc.*.sock | head -1)"

# A Wayland session as a login makes it, with no X display to fall back on.
start=$SECONDS
env -u DISPLAY WAYLAND_DISPLAY="$(socket)" XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=wayland \
    XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" \
    QT_LOGGING_RULES="spindrel.idle.info=true" "$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=($app_pid)

uses_wayland() { grep -q "spindrel.idle: idle time from Wayland org_kde_kwin_idle" "$work/app.log"; }
wait_for 10 uses_wayland && pass "its log says it uses the compositor's idle notification" ||
    fail "its log says: $(grep spindrel.idle "$work/app.log")"

shown() { swaymsg -t get_tree 2>/dev/null | grep -q '"app_id": "spindrel"'; }
wait_for 10 shown && pass "its window opened on sway" || fail "no window on sway"
# Closed, as a user would leave it while away; it counts on behind the window.
swaymsg kill >/dev/null
wait_for 5 bash -c '! swaymsg -t get_tree | grep -q spindrel' && sleep 1
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

# Typing on the compositor's own virtual keyboard ends the break: the next tick banks it.
banked_break() { sed -n 's/.*"bankedBreakMs": "\([0-9.e+]*\)".*/\1/p' "$work/config/spindrel/spindrel.json" 2>/dev/null; }
WAYLAND_DISPLAY="$(socket)" wtype "back at the desk" 2>/dev/null
break_banked() { [ -n "$(banked_break)" ] && [ "$(banked_break)" != "0" ]; }
if wait_for 45 break_banked && [ "$(breaks)" = 1 ]; then
    pass "typing ended the break: $(banked_break) ms of break banked, still one micro break"
else
    fail "typing did not end the break (bankedBreakMs: '$(banked_break)', breaks: '$(breaks)')"
fi

kill -TERM $app_pid
wait $app_pid
rc=$?
[ $rc -eq 0 ] && pass "SIGTERM ends it with status 0" || fail "SIGTERM ended it with $rc"

[ $failures -eq 0 ] || { cat "$work/app.log"; exit 1; }
