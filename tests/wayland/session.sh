# shellcheck shell=bash disable=SC2034
# (What it sets is read by lib.sh, run-wayland and the compositor's file.)
# The session around one run of run-wayland: a private folder, user, bus and input channel,
# and helpers that replace the X-only ones of tests/e2e/lib.sh where Wayland differs (the X
# pointer is stale off X surfaces and the X root image is black for Wayland content).

WL_USER=quillhaven-wayland

# sway refuses to run as root: as root, the whole session runs as an unprivileged user.
ensure_user() {
    local _
    for _ in 1 2 3 4 5; do
        id -u "$WL_USER" >/dev/null 2>&1 && return 0
        # Two runs may create it at once: the loser finds it made, or retries the lock.
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
            "$WL_USER" 2>/dev/null || sleep 0.5
    done
    id -u "$WL_USER" >/dev/null 2>&1
}

# Makes the run's folder (home, runtime folder 0700, notes) and the environment every
# process of the session starts with. QUILLHAVEN_WAYLAND_RUN marks them all, even those the
# compositor detaches, so that the end of the run finds and ends exactly them.
wl_setup() {
    E2E_TMP=$(mktemp -d /tmp/quillhaven-wayland.XXXXXX)
    mkdir -p "$E2E_SHOTS" "$E2E_TMP/home" "$E2E_TMP/runtime" "$E2E_TMP/bin"
    QUILLHAVEN=$(readlink -f "$1")
    RUN_AS=()
    WL_USER_DIR=$WL_DIR
    if [ "$(id -u)" = 0 ]; then
        ensure_user || { echo "FAIL - cannot create the user $WL_USER"; exit 1; }
        RUN_AS=(setpriv --reuid="$WL_USER" --regid="$(id -g "$WL_USER")" --init-groups)
        # The build tree and this clone may lie where that user cannot reach (a 0700 home):
        # it runs its own copies of the binary and of the drivers it starts.
        cp "$QUILLHAVEN" "$E2E_TMP/bin/quillhaven"
        QUILLHAVEN="$E2E_TMP/bin/quillhaven"
        cp "$WL_DIR"/*.py "$E2E_TMP/bin/"
        WL_USER_DIR="$E2E_TMP/bin"
        chown -R "$WL_USER:" "$E2E_TMP"
    fi
    chmod 700 "$E2E_TMP/runtime"
    local home="$E2E_TMP/home"
    # Every process of the session starts here: a terminal's shell, for one, cannot start in
    # a folder its user may not enter.
    cd "$home" || exit 1
    SESSION_ENV=(HOME="$home" XDG_RUNTIME_DIR="$E2E_TMP/runtime" XDG_CONFIG_HOME="$home/.config"
        XDG_DATA_HOME="$home/.local/share" PATH=/usr/local/bin:/usr/bin:/bin TZ=UTC
        LC_ALL=C.UTF-8 PYTHONDONTWRITEBYTECODE=1 QUILLHAVEN_WAYLAND_RUN="$E2E_TMP")
    export TZ=UTC LC_ALL=C.UTF-8
    unset WAYLAND_DISPLAY DISPLAY XAUTHORITY SWAYSOCK DBUS_SESSION_BUS_ADDRESS
    APP_DATA="$home/.local/share/Quillhaven"
    NOTES="$APP_DATA/notes.json"
}

as_user() { "${RUN_AS[@]}" env -i "${SESSION_ENV[@]}" "$@"; }

# The processes of this run, even those the compositor detached.
run_processes() { grep -lsxzF "QUILLHAVEN_WAYLAND_RUN=$E2E_TMP" /proc/[0-9]*/environ | cut -d/ -f3; }
no_run_processes() { [ -z "$(run_processes)" ]; }

wl_cleanup() {
    local pid signal marked
    [ -n "${E2E_TMP:-}" ] || return 0
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    # Given time to end cleanly first: a killed X server leaves its lock and socket behind.
    for signal in TERM TERM TERM TERM TERM KILL; do
        marked=$(run_processes)
        [ -z "$marked" ] && break
        # One pid a word.
        # shellcheck disable=SC2086
        kill -s "$signal" $marked 2>/dev/null
        wait_for 1 no_run_processes
    done
    forget_stale_display
    e2e_cleanup
}

# The run's X displays (Mutter holds a second one for its set-up), where their server died
# without removing its lock and socket.
forget_stale_display() {
    local owner number
    owner=$(id -un)
    [ ${#RUN_AS[@]} -eq 0 ] || owner=$WL_USER
    while read -r number; do
        [ -f "/tmp/.X$number-lock" ] || continue
        kill -0 "$(tr -d ' ' <"/tmp/.X$number-lock")" 2>/dev/null && continue
        [ "$(stat -c %U "/tmp/.X$number-lock")" = "$owner" ] &&
            rm -f "/tmp/.X$number-lock" "/tmp/.X11-unix/X$number"
    done < <(sed -n 's/^\(GNOME_SETUP_\)\{0,1\}DISPLAY=:\([0-9]*\).*/\2/p' \
        "$E2E_TMP/session.env" 2>/dev/null)
}

# bus_at NAME: a bus of the run's user at the runtime folder's socket NAME, up once it answers.
bus_at() {
    spawn 900 "${RUN_AS[@]}" env -i "${SESSION_ENV[@]}" dbus-daemon --session --nofork \
        --nopidfile --address="unix:path=$E2E_TMP/runtime/$1" >/dev/null 2>&1
    wait_for 10 test -S "$E2E_TMP/runtime/$1"
}

start_bus() {
    bus_at bus || return 1
    SESSION_ENV+=(DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/runtime/bus")
}

# session_from_env NAME...: takes these variables from what the compositor's children see,
# for the session's processes and for the X and Wayland tools of this script.
session_from_env() {
    local name value
    for name in "$@"; do
        value=$(sed -n "s/^$name=//p" "$E2E_TMP/session.env")
        [ -n "$value" ] || continue
        SESSION_ENV+=("$name=$value")
        export "$name=$value"
    done
}

# XWayland lets in the user who runs it; this script may be root.
x_access() {
    [ ${#RUN_AS[@]} -eq 0 ] || as_user xhost +si:localuser:root >/dev/null 2>&1
    xwininfo -root >/dev/null 2>&1
}

# --- input, through the compositor (the X server's own input would reach X windows only)

start_input() {
    coproc INPUT { input_driver 2>>"$E2E_SHOTS/input.log"; }
    E2E_PIDS+=("$INPUT_PID")
    pointer_to 100 800
}

# input COMMAND...: one line of the driver's protocol; true once the compositor has it.
input() {
    local reply=""
    echo "$*" >&"${INPUT[1]}" || return 1
    read -r -t 20 reply <&"${INPUT[0]}"
    [ "$reply" = ok ]
}

pointer_to() { input move "$1" "$2" && PX=$1 PY=$2; }
press() { input down; }
release() { input up; }

pointer_xy() { echo "$PX $PY"; }
# Drags go as a hand drags (lib.sh's glide_to), slower than on X. XWayland reports no motion
# over other programs' surfaces, so under sway a carried note follows only while the pointer
# stays over its window: a drag that outruns the window by half its width, which a loaded
# machine makes likelier, leaves the note behind. Paced as a hand, not a flick.
GLIDE_PAUSE=0.04

# The X pointer's window as XWayland sees it, compared at the top level (under a reparenting
# compositor the pointer is over the frame).
pointer_by_frames

# The program, and a second launch with an action as a key bound in the desktop's settings
# runs it, start as the session's user with the session's environment, once it is complete.
session_ready() { APP_RUN=("${RUN_AS[@]}" env -i "${SESSION_ENV[@]}"); }

# --- what the window system says

# compositor_shows WINDOW "X Y W H": the compositor draws the window there; an unmanaged
# window is drawn where X has it.
compositor_shows() {
    local rect
    rect=$(compositor_rect "$1") || return 1
    [ "$rect" = "$2" ] || { [ "$rect" = unmanaged ] && at "$1" "$2"; }
}

screen_black() { [ "$(screen_pixel "$1" "$2")" = "0,0,0" ]; }

shot() { screen_shot "$1"; }

# What a failure's reader learns of a window besides what X says: where the compositor has it.
evidence_more() { [ "$COMPOSITOR_TREE" = 0 ] || echo "$COMPOSITOR: $(compositor_rect "$1")"; }
