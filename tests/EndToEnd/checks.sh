# Sourced by the end-to-end scripts: how they say what they saw, and how they wait.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
# What a script needs and lacks: under scripts/test, which provides it, a failure; else a skip.
lacking() {  # lacking WHAT: ends the script
    [ -n "${SPINDREL_TEST_SERVICES:-}" ] && { echo "FAIL: needs $1"; exit 1; }
    echo "skipped: needs $1"; exit 0
}
wait_for() {  # wait_for SECONDS COMMAND...: until the command succeeds
    local until=$((SECONDS + $1)); shift
    while [ $SECONDS -lt "$until" ]; do "$@" && return 0; sleep 0.1; done
    return 1
}
# A desktop's logout sends SIGTERM: Spindrel saves its day and ends with status 0.
ends_on_sigterm() {  # ends_on_sigterm PID
    kill -TERM "$1"
    wait "$1"
    local rc=$?
    [ $rc -eq 0 ] && pass "SIGTERM ends it with status 0" || fail "SIGTERM ended it with $rc"
}
# A scratch folder for the run, `work`, and the background processes it starts, `pids`: at
# exit the processes are stopped and the folder goes.
make_scratch() {
    work="$(mktemp -d)"
    pids=()
    trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
}
