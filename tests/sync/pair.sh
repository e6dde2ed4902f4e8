# shellcheck shell=bash
# Two computers on one machine, for the sync tests. Source it from a test script:
#   . "$(dirname "$0")/pair.sh"; pair_setup "$1"
# Each side, A and B, has its own Syncthing instance (home, keys, REST port, listen port, all
# on 127.0.0.1), its own notes folder shared through them, its own private X server and its
# own copy of the program with its own HOME and runtime folder. `on A COMMAND...` runs a
# command, or any helper of e2e/lib.sh, as side A.

# shellcheck source=../e2e/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
PAIR_PY="$(dirname "${BASH_SOURCE[0]}")/pair.py"
PAIR_FOLDER_ID=notes
declare -A GUI LISTEN KEY ID DISP APP_GUARDS APP_PIDS
# PAIR_KEEP=DIR keeps both sides' folders, logs and Syncthing homes there.
E2E_KEEP=${PAIR_KEEP:-}

pair_setup() {
    command -v syncthing >/dev/null || { echo "skip - syncthing is not installed"; exit 77; }
    QUILLHAVEN=$(readlink -f "$1")
    E2E_TMP=$(mktemp -d)
    mkdir -p "$E2E_SHOTS"
    rm -f "$E2E_SHOTS"/*.png
    export TZ=UTC LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
    local ports side
    read -r -a ports <<<"$("$PAIR_PY" ports 4)"
    GUI[A]=${ports[0]} LISTEN[A]=${ports[1]} GUI[B]=${ports[2]} LISTEN[B]=${ports[3]}
    for side in A B; do
        mkdir -p "$E2E_TMP/$side/home" "$E2E_TMP/$side/runtime" "$E2E_TMP/$side/notes"
        chmod 700 "$E2E_TMP/$side/runtime"
        KEY[$side]=$(head -c 18 /dev/urandom | base64 | tr '+/' '-_')
        # After a failure, both programs' and both Syncthing instances' last words.
        E2E_LOGS+=("$E2E_TMP/$side/app.log" "$E2E_TMP/$side/syncthing.log")
        start_x || exit 1
        DISP[$side]=$X_DISPLAY
    done
}

# The environment of one side, for `on` and for what a side starts.
side_env() {
    local root="$E2E_TMP/$1"
    export HOME="$root/home" XDG_RUNTIME_DIR="$root/runtime" DISPLAY="${DISP[$1]}"
    export XDG_CONFIG_HOME="$root/home/.config" XDG_DATA_HOME="$root/home/.local/share"
    export QUILLHAVEN_DATA_DIR="$root/notes"
    APP_DATA="$root/notes" NOTES="$root/notes/notes.json" APP_LOG="$root/app.log"
    APP_PID=${APP_PIDS[$1]:-} APP_GUARD=${APP_GUARDS[$1]:-}
}

# on SIDE COMMAND...: runs COMMAND as that side, in a subshell.
on() { (side_env "$1" && shift && "$@"); }

# --- Syncthing

# st SIDE METHOD PATH [JSON]: a call to that side's REST interface; prints the answer.
st() {
    curl -sS -f -m 10 -X "$2" -H "X-API-Key: ${KEY[$1]}" \
        ${4:+-H "Content-Type: application/json" -d "$4"} "http://127.0.0.1:${GUI[$1]}$3"
}

# json EXPR: evaluates a python expression over `j`, the JSON on stdin.
json() { python3 -c "import json,sys; j=json.load(sys.stdin); print($1)"; }

# Generates a side's keys and configuration with everything that could leave the machine
# turned off before the first start, then starts it.
start_syncthing() {
    local home="$E2E_TMP/$1/syncthing"
    (side_env "$1" && timeout 60 syncthing generate --home "$home" --no-default-folder \
        --skip-port-probing >/dev/null 2>&1) || return 1
    "$PAIR_PY" configure "$home" "${GUI[$1]}" "${LISTEN[$1]}" "${KEY[$1]}" "$1" || return 1
    (side_env "$1" && export STNODEFAULTFOLDER=1 STNOUPGRADE=1 &&
        exec timeout 900 syncthing serve --home "$home" --no-browser --no-restart \
            --no-upgrade --logflags=2) >"$E2E_TMP/$1/syncthing.log" 2>&1 &
    E2E_PIDS+=("$!")
}

syncthing_up() { st A GET /rest/system/ping && st B GET /rest/system/ping; }

# Each side learns the other's device at its static address and shares the notes folder with
# it; the folder is rescanned on every change (after a second) and every 10 s besides.
introduce() {
    local side other
    for side in A B; do
        ID[$side]=$(st "$side" GET /rest/system/status | json 'j["myID"]') || return 1
    done
    for side in A B; do
        other=$([ "$side" = A ] && echo B || echo A)
        st "$side" POST /rest/config/devices "{\"deviceID\":\"${ID[$other]}\",\"name\":\"$other\",
            \"addresses\":[\"tcp://127.0.0.1:${LISTEN[$other]}\"]}" || return 1
        st "$side" POST /rest/config/folders "{\"id\":\"$PAIR_FOLDER_ID\",\"label\":\"Notes\",
            \"path\":\"$E2E_TMP/$side/notes\",\"type\":\"sendreceive\",
            \"fsWatcherEnabled\":true,\"fsWatcherDelayS\":1,\"rescanIntervalS\":10,
            \"devices\":[{\"deviceID\":\"${ID[A]}\"},{\"deviceID\":\"${ID[B]}\"}]}" || return 1
    done
}

# sees SIDE OTHER: SIDE sees OTHER connected.
sees() {
    st "$1" GET /rest/system/connections | json "j['connections']['${ID[$2]}']['connected']" |
        grep -qx True
}
connected() { sees A B && sees B A; }

# pause SIDE true|false: pauses or resumes the notes folder on that side.
pause() { st "$1" PATCH "/rest/config/folders/$PAIR_FOLDER_ID" "{\"paused\":$2}" >/dev/null; }

# Nothing left to pull or send on either side, and the two agree on the folder.
in_sync() {
    local side
    for side in A B; do
        [ "$(st "$side" GET "/rest/db/status?folder=$PAIR_FOLDER_ID" |
            json "j['state'] == 'idle' and j['needTotalItems'] == 0")" = True ] || return 1
    done
}

# --- the program

# Starts the program on a side, as a login item: nothing shown but the pad.
pair_start_app() {
    (side_env "$1" && exec timeout 900 "$QUILLHAVEN" --login-item) >>"$E2E_TMP/$1/app.log" 2>&1 &
    APP_GUARDS[$1]=$!
    E2E_PIDS+=("$!")
    wait_for 5 pgrep -P "${APP_GUARDS[$1]}" || return 1
    APP_PIDS[$1]=$(pgrep -P "${APP_GUARDS[$1]}" | head -1)
}

# converged [EXPR...]: both notes files hold the same notes, by id, with the same content (the
# windows' places are each computer's own), and each python expression EXPR over the notes
# (see pair.py) holds for each.
converged() { "$PAIR_PY" same "$E2E_TMP/A/notes/notes.json" "$E2E_TMP/B/notes/notes.json" "$@"; }

# converge WHAT SECONDS EXPR...: the check that both converge on every EXPR; on failure, what
# differs and which EXPR fails where.
converge() {
    check "$1" wait_for "$2" converged "${@:3}" ||
        "$PAIR_PY" show "$E2E_TMP/A/notes/notes.json" "$E2E_TMP/B/notes/notes.json" "${@:3}" |
        sed 's/^/     /'
}
