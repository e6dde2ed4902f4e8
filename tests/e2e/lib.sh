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
    # A failed run shows what the program said, since its folder goes next.
    if [ "$E2E_FAILED" != 0 ] && [ -s "${APP_LOG:-}" ]; then
        echo "--- the end of the program's log:"
        tail -60 "$APP_LOG"
    fi
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
    wait_for 5 app_child && APP_PID=$(app_child)
}

# A second launch with an action, as a desktop's key binding runs it: it hands the action to
# the running copy and exits.
app_action() { timeout 20 "$QUILLHAVEN" "$@" >>"$APP_LOG" 2>&1; }

app_child() { pgrep -P "$APP_GUARD" | head -1 | grep .; }

# Ends the program and returns once it has really gone, with its exit status: the next
# launch must not meet it still quitting.
stop_app() {
    local status=0
    [ -n "${APP_PID:-}" ] || return 0
    kill "$APP_PID" 2>/dev/null
    reap 60 "$APP_GUARD" || status=$?
    APP_PID=""
    return "$status"
}

# reap SECONDS PID: waits for this shell's child PID to end and returns its exit status, or
# 124 with a line saying what it waited for when it has not ended in time.
reap() {
    if ! wait_for "$1" gone "$2"; then
        echo "     waited $1 s for process $2 ($(ps -o args= -p "$2" | cut -c1-60)) to end"
        return 124
    fi
    wait "$2" 2>/dev/null # without the shell's line about a killed job
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

# wait_steady SECONDS COMMAND...: polls until COMMAND prints the same, non-empty, twice in a
# row: for motion on the screen or of windows to come to rest.
wait_steady() {
    local deadline=$((SECONDS + $1)) last="" now
    shift
    while [ $SECONDS -lt $deadline ]; do
        now=$("$@" 2>/dev/null)
        [ -n "$now" ] && [ "$now" = "$last" ] && return 0
        last=$now
        sleep 0.1
    done
    return 1
}

gone() { ! kill -0 "$1" 2>/dev/null; }

# --- windows

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

# at WINDOW "X Y W H": the window has that rectangle.
at() { [ "$(geometry "$1")" = "$2" ]; }

# window_at "X Y W H": prints the program's window with that rectangle.
window_at() {
    local w
    for w in $(app_windows); do
        at "$w" "$1" && echo "$w" && return 0
    done
    return 1
}

# Every window of the program with its rectangle: steady once nothing glides any more.
window_layout() {
    local w
    for w in $(app_windows); do echo "$w $(geometry "$w")"; done | sort
}

windows_more_than() { [ "$(app_windows | wc -l)" -gt "$1" ]; }

# The pad hangs from the top centre of the 1440-wide screen.
pad_window() { window_at "550 0 340 274"; }

# The dashboard: --all, or xdotool would take windows of the program OR with the name.
dashboards() { xdotool search --all --onlyvisible --pid "$APP_PID" --name '^All Notes$' 2>/dev/null; }
dashboard_open() { [ -n "$(dashboards)" ]; }
dashboard_closed() { [ -z "$(dashboards)" ]; }

focused_on() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# --- the pointer

under_pointer() { xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p'; }
pointer_over() { [ "$(under_pointer)" = "$1" ]; }

# glide_to X Y STEPS [PAUSE]: moves the pointer from where it is to X Y in STEPS moves,
# PAUSE seconds (0.02) apart. The pauses pace the input: motion events that queue up together
# reach the program as one, and a drag must be seen to pass its intermediate points.
glide_to() {
    local x0 y0 n=$3 i
    eval "$(xdotool getmouselocation --shell | grep -E '^(X|Y)=')"
    x0=$X y0=$Y
    for ((i = 1; i <= n; i++)); do
        xdotool mousemove $((x0 + ($1 - x0) * i / n)) $((y0 + ($2 - y0) * i / n))
        sleep "${4:-0.02}"
    done
}

# --- the screen

shot() {
    import -window root "$E2E_SHOTS/$1.png" 2>/dev/null
}

# pixel X Y: the colour of the screen there, as "r,g,b".
pixel() {
    import -window root -crop "1x1+$1+$2" txt:- 2>/dev/null |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}
black() { [ "$(pixel "$1" "$2")" = "0,0,0" ]; }
not_black() { ! black "$1" "$2"; }

# screen_digest "WxH+X+Y": a digest of that part of the screen.
screen_digest() { import -window root -crop "$1" rgb:- 2>/dev/null | md5sum; }

# crop_of WINDOW -> its rectangle as "WxH+X+Y".
crop_of() { geometry "$1" | awk '{print $3 "x" $4 "+" $1 "+" $2}'; }

# repainted SECONDS "WxH+X+Y" COMMAND...: runs COMMAND (a click, keys), then waits until that
# part of the screen has changed and come to rest, which shows the program has taken the input.
repainted() {
    local seconds=$1 crop=$2 before deadline
    shift 2
    before=$(screen_digest "$crop")
    "$@" >/dev/null 2>&1
    deadline=$((SECONDS + seconds))
    until [ "$(screen_digest "$crop")" != "$before" ]; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
    wait_steady $((deadline - SECONDS + 1)) screen_digest "$crop"
}

# --- the notes file and the log

# A value read from the notes file with a python expression over `notes` (the array).
notes_eval() {
    python3 -c "import json,sys; notes=json.load(open(sys.argv[1])); print($1)" "$NOTES"
}

# file_is EXPR: the python expression over `notes` holds.
file_is() { [ "$(notes_eval "$1" 2>/dev/null)" = True ]; }

# clipboard_offers TYPE: the clipboard's owner lists that type.
clipboard_offers() { xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -qx "$1"; }

nothing_logged() { ! grep -q "Quillhaven:" "$APP_LOG"; }

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
