# Sourced by the measuring scripts: runs the calling script again inside a private X server and
# session bus, so that nothing of the user's own desktop takes part in the figures.
if [ -z "${SPINDREL_MEASURE_INSIDE:-}" ]; then
    export SPINDREL_MEASURE_INSIDE=1
    exec env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS xvfb-run -a -s "-screen 0 1280x800x24" \
        dbus-run-session -- "$0" "$@"
fi
