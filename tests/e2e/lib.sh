# Shared helpers for the real-window suites. Source it from a test_*.sh script:
#   . "$(dirname "$0")/lib.sh"; e2e_setup "$1"
# Every background process is bounded and killed on exit; waits poll a condition with a
# deadline instead of sleeping a fixed time, so the suites hold on a slow, shared machine.

set -u
E2E_NAME=$(basename "$0" .sh)
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
E2E_SHOTS=${E2E_SHOTS:-$E2E_ROOT/build/e2e-shots/$E2E_NAME}
E2E_PIDS=()
E2E_FAILED=0

e2e_cleanup() {
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    [ -n "${E2E_TMP:-}" ] && rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# Starts a private X server (and a compositor unless E2E_NO_COMPOSITOR=1), makes a fresh
# HOME and remembers the binary under test.
e2e_setup() {
    QUILLHAVEN=$(readlink -f "$1")
    E2E_TMP=$(mktemp -d)
    mkdir -p "$E2E_SHOTS" "$E2E_TMP/home" "$E2E_TMP/runtime"
    chmod 700 "$E2E_TMP/runtime"
    export HOME="$E2E_TMP/home" XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
    export TZ=UTC LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
    local fifo="$E2E_TMP/displayfd"
    mkfifo "$fifo"
    timeout 900 Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1440x900x24}" -nolisten tcp \
        3>"$fifo" 2>/dev/null &
    E2E_PIDS+=($!)
    read -r -t 20 num <"$fifo" || { echo "Xvfb did not start"; exit 1; }
    export DISPLAY=":$num"
    if [ "${E2E_NO_COMPOSITOR:-0}" != 1 ] && command -v xcompmgr >/dev/null; then
        timeout 900 xcompmgr >/dev/null 2>&1 &
        E2E_PIDS+=($!)
    fi
    APP_DATA="$XDG_DATA_HOME/Quillhaven"
    NOTES="$APP_DATA/notes.json"
    mkdir -p "$APP_DATA"
}

# Starts the program; its stderr goes to $APP_LOG.
start_app() {
    APP_LOG="$E2E_TMP/app.log"
    timeout 900 "$QUILLHAVEN" "$@" >>"$APP_LOG" 2>&1 &
    local guard=$!
    E2E_PIDS+=($guard)
    # The program runs as the child of `timeout`; its windows carry the child's pid, and
    # waiting for the guard yields the program's exit status.
    APP_GUARD=$guard
    APP_PID=$guard
    local deadline=$((SECONDS + 5)) child
    while [ $SECONDS -lt $deadline ]; do
        child=$(pgrep -P "$guard" | head -1)
        [ -n "$child" ] && APP_PID=$child && break
        sleep 0.05
    done
}

stop_app() {
    kill "${APP_PID:-0}" 2>/dev/null
    wait "${APP_PID:-0}" 2>/dev/null
    APP_PID=""
}

# wait_for SECONDS COMMAND...: polls until COMMAND succeeds or the deadline passes.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
}

# The ids of the program's mapped top-level windows with the given name (or all).
app_windows() {
    xdotool search --all --onlyvisible --pid "$APP_PID" ${1:+--name "$1"} 2>/dev/null
}

# geometry WINDOW_ID -> "x y w h" in X (y-down) coordinates.
geometry() {
    [ -n "${1:-}" ] || return 1 # xwininfo would wait for a click instead
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

shot() {
    import -window root "$E2E_SHOTS/$1.png" 2>/dev/null
}

# A value read from the notes file with a python expression over `notes` (the array).
notes_eval() {
    python3 -c "import json,sys; notes=json.load(open(sys.argv[1])); print($1)" "$NOTES"
}

check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok   - $what"
    else
        echo "FAIL - $what"
        E2E_FAILED=1
    fi
}

e2e_finish() {
    echo "screenshots: $E2E_SHOTS"
    exit $E2E_FAILED
}
