# shellcheck shell=bash
# Shared helpers for the real-window suites, those under a window manager or a Wayland
# compositor and the two-computer one too. Source it from a test_*.sh script:
#   . "$(dirname "$0")/lib.sh"; e2e_setup "$1"
# Every background process is bounded and killed on exit; waits poll a condition with a
# deadline instead of sleeping a fixed time, so the suites hold on a slow, shared machine.

set -u
E2E_NAME=$(basename "$0" .sh)
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
E2E_SHOTS=${E2E_SHOTS:-$E2E_ROOT/build/e2e-shots/$E2E_NAME}
XTOOL=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/xtool.py
E2E_PIDS=()
E2E_LOGS=() # besides the program's log, shown when a run fails
E2E_FAILED=0
E2E_START=$SECONDS

e2e_cleanup() {
    local pid log
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    # A failed run shows what the programs said, since their folder goes next.
    if [ "$E2E_FAILED" != 0 ]; then
        for log in "${APP_LOG:-}" "${E2E_LOGS[@]}"; do
            [ -s "$log" ] || continue
            echo "--- the end of ${log#"${E2E_TMP:-}"/}:"
            tail -60 "$log"
        done
    fi
    # E2E_KEEP=DIR keeps the run's folders and logs there.
    [ -n "${E2E_KEEP:-}" ] && [ -n "${E2E_TMP:-}" ] && cp -a "$E2E_TMP/." "$E2E_KEEP/"
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
    start_x || exit 1
    export DISPLAY=$X_DISPLAY
    private_bus || exit 1
    APP_DATA="$XDG_DATA_HOME/Quillhaven"
    NOTES="$APP_DATA/notes.json"
    mkdir -p "$APP_DATA"
}

# spawn SECONDS COMMAND...: COMMAND in the background for at most SECONDS, ended with the run
# at the latest; SPAWNED is its process id.
spawn() {
    timeout "$1" "${@:2}" &
    SPAWNED=$!
    E2E_PIDS+=("$SPAWNED")
}

# A private X server, as X_DISPLAY, with a compositor unless E2E_NO_COMPOSITOR=1.
start_x() {
    local fifo num
    fifo=$(mktemp -u "$E2E_TMP/displayfd.XXXXXX")
    mkfifo "$fifo"
    timeout 900 Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1440x900x24}" -nolisten tcp \
        3>"$fifo" 2>/dev/null &
    E2E_PIDS+=("$!")
    read -r -t 20 num <"$fifo" || { echo "Xvfb did not start"; return 1; }
    X_DISPLAY=":$num"
    if [ "${E2E_NO_COMPOSITOR:-0}" != 1 ] && command -v xcompmgr >/dev/null; then
        DISPLAY=$X_DISPLAY spawn 900 xcompmgr >/dev/null 2>&1
    fi
}

# A private session bus. Without one, libdbus autolaunches a bus by forking from its own
# thread, and a sanitized program can deadlock in that child on the allocator's lock.
private_bus() {
    local out
    out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || {
        echo "dbus-daemon did not start"
        return 1
    }
    export DBUS_SESSION_BUS_ADDRESS=${out%%$'\n'*}
    E2E_PIDS+=("${out##*$'\n'}")
}

# Starts the program; its stderr goes to $APP_LOG. APP_RUN, when set, is the command line the
# program runs under (another user, a clean environment).
APP_RUN=()
start_app() {
    APP_LOG="$E2E_TMP/app.log"
    spawn 900 "${APP_RUN[@]}" "$QUILLHAVEN" "$@" >>"$APP_LOG" 2>&1
    # The program runs as the child of `timeout`; its windows carry the child's pid, and
    # waiting for the guard yields the program's exit status.
    APP_GUARD=$SPAWNED
    APP_PID=$SPAWNED
    wait_for 5 pgrep -P "$APP_GUARD" && APP_PID=$(pgrep -P "$APP_GUARD" | head -1)
}

# Starts the program as at login, the pointer out of the way, and waits for its pad (PAD).
start_with_pad() {
    xdotool mousemove 100 800
    start_app --login-item
    check "the pad window appears" wait_for 20 pad_window
    PAD=$(pad_window)
}

# A second launch with an action, as a desktop's key binding runs it: it hands the action to
# the running copy and exits.
app_action() { timeout 20 "${APP_RUN[@]}" "$QUILLHAVEN" "$@" >>"$APP_LOG" 2>&1; }

# end_app SIGNAL [SECONDS]: sends the program SIGNAL and returns its exit status once it has
# gone, within SECONDS (60).
end_app() { kill "-$1" "$APP_PID" 2>/dev/null; reap "${2:-60}" "$APP_GUARD"; }

# Ends the program and returns once it has really gone, with its exit status: the next
# launch must not meet it still quitting.
stop_app() {
    [ -n "${APP_PID:-}" ] || return 0
    end_app TERM
    local status=$?
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

# app_windows [REGEX]: the ids of the program's mapped top-level windows, all or those whose
# name matches: --all, or xdotool would take windows of the program OR with the name.
app_windows() { xdotool search --all --onlyvisible --pid "$APP_PID" ${1:+--name "$1"} 2>/dev/null; }

# geometry WINDOW_ID -> "x y w h" in X (y-down) coordinates.
geometry() {
    [ -n "${1:-}" ] || return 1 # xwininfo would wait for a click instead
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

# at WINDOW "X Y W H": the window has that rectangle.
at() { [ "$(geometry "$1")" = "$2" ]; }

# window_at "X Y W H": prints the program's window with that rectangle (a pattern for grep).
window_at() {
    local w
    for w in $(app_windows); do
        geometry "$w" | grep -qx -- "$1" && echo "$w" && return 0
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
# Under a window manager the pad is found by its width alone, so a check can say where it is.
pad_anywhere() { window_at '[-0-9]* [-0-9]* 340 [0-9]*'; }
pad_under() { pointer_over "${PAD:-$(pad_window)}"; }
not_pad_under() { ! pad_under; }
# The pad's corner of the screen has come to rest: its springs are still.
pad_at_rest() { wait_steady 5 screen_digest 400x300+520+0; }

# The note: the program's window at NOTE_AT ("X Y W H") when a suite sets it, else its first
# window but the pad.
note_window() {
    [ -z "${NOTE_AT:-}" ] || { window_at "$NOTE_AT"; return; }
    app_windows | grep -vxF "${PAD:-$(pad_window)}" | head -1 | grep .
}

# The image viewer covers the screen.
viewer_window() { window_at "0 0 1440 900"; }
no_viewer() { ! viewer_window; }

# The capture overlay: the window of a capture child (--capture-region) on this X server.
capture_pids() {
    local pid
    for pid in $(pgrep -f -- "--capture-region"); do
        grep -qsxzF "DISPLAY=$DISPLAY" "/proc/$pid/environ" && echo "$pid"
    done
}
overlay_window() {
    local pid
    for pid in $(capture_pids); do
        xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1 | grep . && return 0
    done
    return 1
}
no_capture() { [ -z "$(capture_pids)" ]; }

# any_window_at "X Y[ W H]": prints a mapped top-level window of any program at that place: a
# popup menu carries no process id, nor does a copy in a process namespace of its own.
any_window_at() {
    local w
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        geometry "$w" | grep -q "^$1\( \|$\)" && echo "$w" && return 0
    done
    return 1
}

dashboards() { app_windows '^All Notes$'; }
dashboard_open() { [ -n "$(dashboards)" ]; }
dashboard_closed() { [ -z "$(dashboards)" ]; }

# Mapped, and its ancestors too.
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }

focused_on() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# activate WINDOW: gives it the keyboard, through the window manager where one runs.
activate() {
    timeout 10 xdotool windowactivate --sync "$1" 2>/dev/null ||
        timeout 10 xdotool windowfocus --sync "$1"
    wait_for 5 focused_on "$1"
}

# focus_note [WINDOW]: a click low in the note's paper, clear of its pictures above and of the
# grip in the corner, then the caret to the end of its text.
focus_note() {
    local win=${1:-} x y w h focused=0
    [ -n "$win" ] || { wait_for 20 note_window && win=$(note_window); } || return 1
    read -r x y w h <<<"$(geometry "$win")"
    xdotool mousemove $((x + w / 2)) $((y + h - 60)) click 1
    wait_for 5 focused_on "$win" || focused=1
    xdotool key ctrl+End
    return $focused
}

# Records what the window system says about a window, for a person reading a failure.
evidence() {
    [ -n "${2:-}" ] || return 0 # xwininfo would wait for a click instead
    {
        echo "== $1 ($2)"
        xwininfo -id "$2" 2>&1 | grep -E 'upper-left|Width|Height|Map State|Override'
        xprop -id "$2" _NET_WM_WINDOW_TYPE _NET_WM_STATE _NET_WM_DESKTOP WM_TRANSIENT_FOR \
            _MOTIF_WM_HINTS 2>&1
        evidence_more "$2"
    } >>"$E2E_SHOTS/evidence.txt"
}
evidence_more() { :; }

# --- the pointer

under_pointer() { xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p'; }
pointer_over() { [ "$(under_pointer)" = "$1" ]; }
# Under a window manager the pointer is over the frame around a window, and xdotool's answer
# is wrong for unmanaged windows: those suites ask the X server for the top-level windows.
pointer_by_frames() {
    under_pointer() { "$XTOOL" pointer; }
    pointer_over() { [ "$(under_pointer)" = "$("$XTOOL" toplevel "$1" 2>/dev/null)" ]; }
}

# The pointer and its button, through the X server; the Wayland suites replace these with the
# compositor's own input.
pointer_to() { xdotool mousemove "$1" "$2"; }
pointer_xy() { xdotool getmouselocation | sed 's/x:\([0-9]*\) y:\([0-9]*\).*/\1 \2/'; }
press() { xdotool mousedown 1; }
release() { xdotool mouseup 1; }

# glide_to X Y STEPS [PAUSE]: moves the pointer from where it is to X Y in STEPS moves,
# PAUSE seconds (GLIDE_PAUSE, 0.02) apart. The pauses pace the input: motion events that queue
# up together reach the program as one, and a drag must be seen to pass its intermediate points.
glide_to() {
    local x0 y0 n=$3 i
    read -r x0 y0 <<<"$(pointer_xy)"
    for ((i = 1; i <= n; i++)); do
        pointer_to $((x0 + ($1 - x0) * i / n)) $((y0 + ($2 - y0) * i / n))
        sleep "${4:-${GLIDE_PAUSE:-0.02}}"
    done
}
# carry_to X Y STEPS: a drag of a note; the Wayland suites follow the note on its way.
carry_to() { glide_to "$@"; }

# drag_header WINDOW DX DY: the note pressed on its header (13 below the paper's top edge),
# moved 4 points down, where the drag starts, and from there DX DY. The window keeps the point
# that was pressed under the pointer: it moves DX, DY + 4.
drag_header() {
    local x y
    read -r x y _ _ <<<"$(geometry "$1")"
    xdotool mousemove $((x + 150)) $((y + 53))
    xdotool mousedown 1
    glide_to $((x + 150)) $((y + 57)) 1
    glide_to $((x + 150 + $2)) $((y + 57 + $3)) 15
    xdotool mouseup 1
}

# Pushing against the top edge at the centre opens the pad under the pointer.
open_pad() { pointer_to 720 0 && wait_for 5 pad_under; }

# pull_note_to X Y [SHOT]: a press on the open pad, dragged down to X Y and let go: a note
# peels off and lands there. SHOT names a screenshot taken while it is still curled off the pad.
pull_note_to() {
    open_pad || return 1
    pointer_to 700 12
    wait_for 3 pad_under || return 1
    press
    glide_to 700 60 3
    wait_for 5 note_window || { release; return 1; }
    [ -n "${3:-}" ] && shot "$3"
    carry_to "$1" "$2" 12
    release
}

# --- the screen

shot() { import -window root "$E2E_SHOTS/$1.png" 2>/dev/null; }

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
    local crop=$2 before
    before=$(screen_digest "$crop")
    "${@:3}" >/dev/null 2>&1
    crop_changed() { [ "$(screen_digest "$crop")" != "$before" ]; }
    wait_for "$1" crop_changed && wait_steady "$1" screen_digest "$crop"
}

# --- the notes file and the log

# one_note ID TEXT ON_SCREEN X Y [FIELDS]: a notes file of one unfolded note; FIELDS are more
# of its JSON, from a comma on.
one_note() {
    printf '[{"id":"%s","text":"%s","folded":false,"onScreen":%s,"x":%s,"y":%s%s}]\n' "$@" >"$NOTES"
}

# A value read from the notes file with a python expression over `notes` (the array).
notes_eval() {
    python3 -c "import json,sys; notes=json.load(open(sys.argv[1])); print($1)" "$NOTES"
}

# file_is EXPR: the python expression over `notes` holds.
file_is() { [ "$(notes_eval "$1" 2>/dev/null)" = True ]; }

# clipboard_offers TYPE: the clipboard's owner lists that type.
clipboard_offers() { xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -qx "$1"; }

# offer_png FILE: another program (SPAWNED) holds the picture on the clipboard.
offer_png() {
    spawn 300 xclip -quiet -selection clipboard -t image/png -i "$1" >/dev/null 2>&1
    wait_for 10 clipboard_offers image/png
}

# png FILE W H: a PNG with a left half orange and a right half teal, every row stored.
png() {
    python3 - "$@" <<'PY'
import struct, sys, zlib
path, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
row = b"\0" + bytes([240, 140, 30]) * (w // 2) + bytes([20, 150, 150]) * (w - w // 2)
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
z = zlib.compressobj(6)
data = b"".join(z.compress(row) for _ in range(h)) + z.flush()
open(path, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                       + chunk(b"IDAT", data) + chunk(b"IEND", b""))
PY
}
# png_size FILE -> "W H" of a PNG (nothing for another kind of file).
png_size() { identify -ping -format '%w %h' "png:$1" 2>/dev/null; }

nothing_logged() { ! grep -q "Quillhaven:" "$APP_LOG"; }

# check WHAT COMMAND...: a verdict on COMMAND; its status is the verdict's.
check() {
    local what=$1 verdict="ok  "
    shift
    "$@" || { verdict=FAIL; E2E_FAILED=1; }
    report "$verdict - $what"
    [ "$verdict" = "ok  " ]
}
# report LINE: a line of the run's outcome; also kept, with its time, in E2E_RESULTS if set.
report() {
    echo "$1"
    [ -z "${E2E_RESULTS:-}" ] || echo "$1 [at $((SECONDS - E2E_START)) s]" >>"$E2E_RESULTS"
}

e2e_finish() { echo "screenshots: $E2E_SHOTS" && exit $E2E_FAILED; }
