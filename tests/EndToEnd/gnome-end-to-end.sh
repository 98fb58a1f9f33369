#!/usr/bin/env bash
# The real spindrel binary in a headless GNOME Shell 43 on Wayland, which the script starts
# itself with the AppIndicator extension: it takes its idle time from Mutter's idle monitor, a
# double click on its tray item shows and hides the window, its reminder reaches GNOME's
# notification banner, a real absence counts a micro break, and a click on the banner ends the
# break and opens the reset page. All input is real, through Mutter's remote desktop service.
# Screenshots of the tray, the window and the banner go into SCREENSHOT-FOLDER.
# Usage: gnome-end-to-end.sh path/to/spindrel SCREENSHOT-FOLDER
set -uo pipefail
app="$1"
shots="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

command -v gnome-shell >/dev/null && command -v gjs >/dev/null ||
    lacking "gnome-shell, gjs and gnome-shell-extension-appindicator"

work="$(mktemp -d)"
# GNOME warns a root session with a banner of its own, where ours must be: as root the whole
# session runs as nobody, in folders of its own.
chmod 711 "$work"
mkdir -m 700 "$work/home" "$work/runtime" "$work/system" "$work/config" "$work/shots"
mkdir -p "$work/config/spindrel" "$work/home/.local/share/gnome-shell"
# Without this GNOME says in a banner that the screen lock is off, once per home.
touch "$work/home/.local/share/gnome-shell/lock-warning-shown"
# A reminder a minute into the session, in the INI file of earlier versions that Spindrel
# carries over at its first start.
printf '[General]\nreminderInterval=1\n' >"$work/config/spindrel/spindrel.conf"
cp "$here/gnome-shell-driver.js" "$work/driver.js"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$work"/{home,runtime,system,config,shots}
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
# The binary is built by root; nobody runs a copy if it may not run the original.
"${as_user[@]}" test -x "$app" || { cp "$app" "$work/spindrel"; chmod 755 "$work/spindrel"; app="$work/spindrel"; }
mkdir -p "$shots"

pids=()
cleanup() {
    local i
    exec 7>&- 8<&-
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
    # The shell may take a while to crash on SIGTERM (it does, harmlessly).
    for i in $(seq 50); do
        alive=$(for p in "${pids[@]}"; do kill -0 "$p" 2>/dev/null && echo "$p"; done)
        [ -z "$alive" ] && break
        sleep 0.2
    done
    kill -KILL "${pids[@]}" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A private session and, for the shell's needs, a private system bus (the shell itself cares
# only that one answers).
session=(env -i PATH="$PATH" LANG=C.UTF-8 HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
         DBUS_SESSION_BUS_ADDRESS="unix:path=$work/runtime/bus"
         DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system/bus"
         XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME)
in_session() { "${session[@]}" "${as_user[@]}" "$@"; }
# A background process of the session, stopped at the end; its output goes to the named log.
start_in_session() {  # start_in_session LOG COMMAND...
    local log="$1"; shift
    "${session[@]}" "${as_user[@]}" "$@" >"$work/$log" 2>&1 &
    pids+=($!)
}
start_in_session system-bus.log dbus-daemon --session --address="unix:path=$work/system/bus" \
    --nofork --nopidfile
start_in_session session-bus.log dbus-daemon --session --address="unix:path=$work/runtime/bus" \
    --nofork --nopidfile
buses_up() { [ -S "$work/runtime/bus" ] && [ -S "$work/system/bus" ]; }
wait_for 10 buses_up || { echo "FAIL: the private buses did not start"; exit 1; }

# The tray comes from the AppIndicator extension. No animation, so a screenshot shows the end
# state; no hot corner, where the pointer passes on its way to a place; no screen blanking.
for setting in "org.gnome.shell enabled-extensions ['ubuntu-appindicators@ubuntu.com']" \
               "org.gnome.shell disable-user-extensions false" \
               "org.gnome.desktop.interface enable-animations false" \
               "org.gnome.desktop.interface enable-hot-corners false" \
               "org.gnome.desktop.session idle-delay 0" \
               "org.gnome.desktop.screensaver lock-enabled false"; do
    read -r schema key value <<<"$setting"
    in_session gsettings set "$schema" "$key" "$value" || fail "gsettings could not set $key"
done

shell_started=$SECONDS
(cd "$work/home" && exec "${session[@]}" "${as_user[@]}" gnome-shell --headless --wayland --no-x11 \
    --virtual-monitor 1280x800 >"$work/shell.log" 2>&1) &
pids+=($!)
owned() {
    in_session gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
}
shell_up() {
    local name
    for name in org.gnome.Mutter.IdleMonitor org.gnome.Mutter.RemoteDesktop \
                org.gnome.Shell.Screenshot org.freedesktop.Notifications org.kde.StatusNotifierWatcher; do
        owned "$name" || return 1
    done
    [ -S "$work/runtime/wayland-0" ]
}
if wait_for 60 shell_up; then
    pass "GNOME Shell $(gnome-shell --version | sed 's/GNOME Shell //') is up after $((SECONDS - shell_started)) s, with its notification service and the AppIndicator tray"
else
    tail -30 "$work/shell.log"; echo "FAIL: GNOME Shell did not come up"; exit 1
fi

start_in_session notifications.log dbus-monitor --session "interface='org.freedesktop.Notifications'"

# The driver answers through two pipes on fixed descriptors, which every subshell inherits.
mkfifo "$work/to-driver" "$work/from-driver"
"${session[@]}" "${as_user[@]}" gjs "$work/driver.js" <"$work/to-driver" >"$work/from-driver" \
    2>"$work/driver.log" &
pids+=($!)
exec 7>"$work/to-driver" 8<"$work/from-driver"
ask() {  # ask COMMAND...: the driver's one-line answer
    local reply=""
    echo "$*" >&7 && read -r -t 30 reply <&8
    printf '%s\n' "${reply:-no answer}"
}
read -r -t 30 ready <&8
[ "${ready:-}" = ready ] || { cat "$work/driver.log"; echo "FAIL: the driver could not reach the shell"; exit 1; }
shot() {  # shot NAME: a screenshot into the work folder and the screenshot folder
    [[ "$(ask shot "$work/shots/$1.png")" == ok* ]] && cp "$work/shots/$1.png" "$shots/" ||
        fail "GNOME took no screenshot $1"
}

# A fresh session opens on the overview; Escape leaves it for the desktop.
ask key 0xff1b >/dev/null
sleep 1
shot before-spindrel

start=$SECONDS
"${session[@]}" WAYLAND_DISPLAY=wayland-0 QT_QPA_PLATFORM=wayland XDG_CONFIG_HOME="$work/config" \
    QT_LOGGING_RULES="spindrel.idle.info=true;spindrel.window.debug=true" "${as_user[@]}" "$app" \
    >"$work/app.log" 2>&1 &
app_pid=$!
pids+=($app_pid)

# 1. Which idle source answers.
uses_mutter() { grep -q "spindrel.idle: idle time from org.gnome.Mutter.IdleMonitor" "$work/app.log" 2>/dev/null; }
wait_for 15 uses_mutter && pass "its log names Mutter's idle monitor: $(grep spindrel.idle "$work/app.log")" ||
    fail "its log says: $(grep spindrel.idle "$work/app.log")"

windows() { ask windows | tr ';' '\n' | grep '^Spindrel|'; }
shown() { windows | grep -q '|false$'; }
hidden() { ! windows | grep -q .; }
wait_for 15 shown && pass "its window opened on GNOME: $(windows)" || fail "no Spindrel window on GNOME"
sleep 1

# 4. The tray item, registered with the extension's StatusNotifierWatcher and drawn on the panel.
ours() { ask items | tr ';' '\n' | grep "=Spindrel$"; }
if wait_for 15 eval 'ours >/dev/null'; then
    pass "the StatusNotifierWatcher lists its tray item: $(ours)"
else
    fail "the StatusNotifierWatcher lists no Spindrel item: '$(ask items)'"
fi
shot tray
# The item is where the right of the panel changed; the clock in the middle is left out.
read -r x0 y0 x1 y1 <<<"$(ask changed "$work/shots/before-spindrel.png" "$work/shots/tray.png" 0 31 720)"
if [[ "${x0:-}" =~ ^[0-9]+$ ]] && [ $((x1 - x0)) -lt 48 ] && [ $((y1 - y0)) -lt 32 ]; then
    tray_x=$(((x0 + x1) / 2)) tray_y=$(((y0 + y1) / 2))
    pass "its figure is on the panel at $x0,$y0-$x1,$y1"
    # The extension activates an item without a menu on a single click only until it has seen
    # that the item can be activated; from then on it takes a double click (a single click would
    # open the menu, if the item had one).
    ask point "$tray_x" "$tray_y" >/dev/null
    ask click >/dev/null
    wait_for 5 hidden && pass "a first click on the tray item closes the window" ||
        fail "the window stayed after a click on the tray item: $(windows)"
    sleep 1
    kill -0 $app_pid 2>/dev/null && pass "closing the window leaves Spindrel running" ||
        fail "Spindrel ended with its window"
    ask click 2 >/dev/null
    wait_for 5 shown && pass "a double click opens it again" || fail "no window after a double click"
    sleep 1
    shot window
    ask click 2 >/dev/null
    wait_for 5 hidden && pass "and another closes it" ||
        fail "the window stayed after another double click: $(windows)"
else
    fail "no new figure on the right of the panel (changed: $x0 $y0 $x1 $y1)"
fi

# 2 and 3. Some more typing, then nobody touches anything. A minute into the session the
# reminder comes, during the absence; the tick that sees 90 idle seconds counts a micro break.
while [ $((SECONDS - start)) -lt 20 ]; do sleep 0.5; done
ask key >/dev/null
absent_since=$SECONDS
shot before-banner
reminded() { grep -q 'string "Spindrel"' "$work/notifications.log"; }
if wait_for 110 reminded; then
    pass "a reminder reached GNOME's notification service $((SECONDS - start)) s after start: $(grep -A4 'member=Notify' "$work/notifications.log" | sed -n 's/^ *string "\(.*\)"/\1/p' | sed -n 3p)"
else
    fail "no reminder within $((SECONDS - start)) s of the start"
fi
sleep 2
shot banner
read -r bx0 by0 bx1 by1 <<<"$(ask changed "$work/shots/before-banner.png" "$work/shots/banner.png" 34 400 0)"
if [[ "${bx0:-}" =~ ^[0-9]+$ ]] && [ $((bx1 - bx0)) -gt 200 ] && [ $((by1 - by0)) -lt 200 ]; then
    pass "GNOME shows its banner at $bx0,$by0-$bx1,$by1"
else
    fail "no banner on the screen (changed: $bx0 $by0 $bx1 $by1)"
fi

value() { sed -n "s/.*\"$1\": \"\{0,1\}\([0-9.]*\).*/\1/p" "$work/config/spindrel/spindrel.json" 2>/dev/null; }
counted() { [ "$(value microBreaksToday)" = 1 ]; }
if wait_for $((150 - (SECONDS - absent_since))) counted; then
    pass "$((SECONDS - absent_since)) s into the absence a micro break was saved (Mutter's idle time then: $(($(ask idletime) / 1000)) s)"
else
    fail "no micro break saved $((SECONDS - absent_since)) s into the absence (microBreaksToday: '$(value microBreaksToday)')"
fi
[ "$(value bankedBreakMs)" = 0 ] && pass "the break is open: no break time banked yet" ||
    fail "break time banked during the absence: $(value bankedBreakMs)"

# The absence ends with a click on the banner, which GNOME kept up while nobody was there.
ask point $(((bx0 + bx1) / 2)) $(((by0 + by1) / 2)) >/dev/null
ask click >/dev/null
clicked() { grep -q 'member=ActionInvoked' "$work/notifications.log"; }
# The shell and its notification service on the name both send the signal: say it once.
wait_for 5 clicked && pass "the click on the banner made GNOME invoke its action: $(grep -A2 'member=ActionInvoked' "$work/notifications.log" | sed -n 's/^ *string "\(.*\)"/\1/p' | sort -u)" ||
    fail "GNOME invoked no action after the click on the banner"
on_reset() { grep -q "spindrel.window: the window shows spindrel-reset" "$work/app.log"; }
wait_for 5 on_reset && pass "the window turned to the reset page" ||
    fail "the window did not turn to the reset page: $(grep spindrel.window "$work/app.log")"
wait_for 5 shown && pass "and it is open on GNOME: $(windows)" || fail "no window after the click on the banner"
idle_ms=$(ask idletime)
[ "$idle_ms" -lt 10000 ] 2>/dev/null && pass "Mutter saw the click as input: idle for $idle_ms ms" ||
    fail "Mutter's idle time after the click: $idle_ms"
sleep 1
shot reset

# The next tick sees the input: the break ends and its time is banked, still one micro break.
ended() { [ -n "$(value bankedBreakMs)" ] && [ "$(value bankedBreakMs)" != 0 ]; }
if wait_for 45 ended; then
    pass "the input ended the break: $(($(value bankedBreakMs | cut -d. -f1) / 1000)) s of break banked, microBreaksToday $(value microBreaksToday)"
    counted || fail "microBreaksToday is now $(value microBreaksToday)"
else
    fail "the break was not ended within 45 s of the click"
fi

ends_on_sigterm $app_pid
echo "screenshots in $shots: $(cd "$shots" && echo *.png)"
echo "the whole run took $SECONDS s"

[ $failures -eq 0 ] || { cat "$work/app.log"; tail -20 "$work/shell.log"; exit 1; }
