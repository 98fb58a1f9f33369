#!/usr/bin/env bash
# The real spindrel binary on a desktop that offers no idle time at all: an X server without
# the screen-saver extension, no Mutter, no Wayland compositor and no screen-saver service on
# the session bus. It runs on and says in its log that no idle source answers (the dashboard
# then says that every minute counts as sitting). Usage: no-idle-source-end-to-end.sh spindrel
set -uo pipefail
app="$1"
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || lacking "the session bus of scripts/test"

make_scratch

# An X server of its own, which picks a free display and writes its number once it listens.
Xvfb -displayfd 3 -extension MIT-SCREEN-SAVER -nolisten tcp -screen 0 1280x800x24 \
    3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
listening() { [ -s "$work/display" ]; }
wait_for 20 listening || { cat "$work/xvfb.log"; echo "FAIL: Xvfb did not start"; exit 1; }

mkdir -m 700 "$work/runtime"
env -u WAYLAND_DISPLAY DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb \
    XDG_SESSION_TYPE=x11 XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" \
    QT_LOGGING_RULES="spindrel.idle.info=true" "$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=($app_pid)

# The first tick, 30 s in, asks the chain for the first time.
says_none() { grep -q "spindrel.idle: no idle source answers" "$work/app.log"; }
wait_for 60 says_none && pass "its log says that no idle source answers" ||
    fail "its log says: $(grep spindrel.idle "$work/app.log")"
kill -0 $app_pid 2>/dev/null && pass "and it runs on" || fail "it ended"

ends_on_sigterm $app_pid
grep -q '"bankedMs"' "$work/config/spindrel/spindrel.json" && pass "and the day was saved" ||
    fail "the day record was not saved"

[ $failures -eq 0 ] || { cat "$work/app.log"; exit 1; }
