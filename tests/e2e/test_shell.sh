#!/bin/bash
# The application shell on a real X server: command-line answers, the global hot keys (and
# a hot key another program already holds), one running copy per user, a crashed copy's
# leftovers, and a start without an X server. The actions a later launch hands over
# (--toggle-dashboard, --new-note) are used by the notes-folder, two-computer and Wayland
# suites.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
e2e_setup "$1"
SOCKET="$XDG_RUNTIME_DIR/quillhaven-$(id -u)"
# One note, so a second copy that wrote the file would be seen.
one_note 6F1C0D8E-3E1A-4C55-9B0B-0A5E3C1D2F04 tucked false 0 0

# --- answers before any window: no display needed
help=$(env -u DISPLAY timeout 10 "$QUILLHAVEN" --help)
check "--help answers on stdout and exits 0" [ $? -eq 0 ]
check "--help lists --login-item" grep -q -- "--login-item" <<<"$help"
version=$(env -u DISPLAY timeout 10 "$QUILLHAVEN" --version)
check "--version answers and exits 0" [ $? -eq 0 ]
check "--version names the program" grep -Eq "^Quillhaven [0-9]+\.[0-9]+" <<<"$version"
help=$(env -u DISPLAY -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=de_DE.UTF-8 timeout 10 "$QUILLHAVEN" --help)
check "--help speaks German under a German locale" grep -q "Diese Hilfe anzeigen" <<<"$help"
bogus=$(env -u DISPLAY timeout 10 "$QUILLHAVEN" --bogus 2>&1)
check "a mistyped option is a usage error, display or not" [ $? -eq 2 ]
check "... that names it" grep -q "bogus" <<<"$bogus"
nodisplay="$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$QUILLHAVEN" 2>&1):$?"
check "without a display: one line saying so, exit 1" \
    [ "$nodisplay" = "Quillhaven: no display to open: DISPLAY is not set:1" ]

# --- hot keys, grabbed with every lock variant (a press opening the dashboard: the desktop
# suites; Ctrl+W: the dashboard suite)
start_app --login-item
check "the first copy listens for later launches" wait_for 20 test -S "$SOCKET"
taken_by_app() { ! "$XTOOL" probe "$1" "$2"; }
for lock in none caps num; do
    check "Ctrl+Alt+N held by the program ($lock)" wait_for 10 taken_by_app n $lock
    check "Ctrl+Alt+S held by the program ($lock)" taken_by_app s $lock
done

# --- a second launch hands over to the first and leaves
file_state() { stat -c '%i %.9Y %s' "$NOTES" 2>/dev/null || echo absent; }
before=$(file_state)
timeout 20 "$QUILLHAVEN" >"$E2E_TMP/second.log" 2>&1
check "a second launch exits with status 0" [ $? -eq 0 ]
check "the second launch leaves the notes file alone" [ "$(file_state)" = "$before" ]
check "the second launch says nothing" [ ! -s "$E2E_TMP/second.log" ]
check "the first copy still runs" kill -0 "$APP_PID"
check "the first copy shows its dashboard" wait_for 10 dashboard_open
check "nothing logged" nothing_logged

# --- a crashed copy leaves its socket behind; the next launch takes over
crashed=$APP_PID
kill -KILL "$crashed"
check "the copy is gone" wait_for 10 gone "$crashed"
check "the crashed copy left its socket" test -S "$SOCKET"
start_app --login-item
check "a launch after a crash runs as the first copy" wait_for 10 taken_by_app n none
check "... and keeps running" kill -0 "$APP_PID"
check "and answers later launches" timeout 20 "$QUILLHAVEN"
check "... by showing its dashboard" wait_for 10 dashboard_open
activate "$(dashboards)"
xdotool key ctrl+q
check "Ctrl+Q quits" wait_for 10 gone "$APP_PID"
stop_app

# --- Ctrl+Alt+N already held by another program
: >"$E2E_TMP/grab.log"
spawn 300 "$XTOOL" hold n >"$E2E_TMP/grab.log" 2>&1
GRAB_PID=$SPAWNED
check "another program holds Ctrl+Alt+N" wait_for 10 grep -q grabbed "$E2E_TMP/grab.log"
: >"$E2E_TMP/app.log"
start_app --login-item
taken_line() { grep -qx "Quillhaven: hotkey 1 is taken by another app (10)" "$APP_LOG"; }
check "the taken hot key is logged for id 1 with the X error" wait_for 20 taken_line
check "Ctrl+Alt+S is still registered" wait_for 10 taken_by_app s none
check "no lock variant of Ctrl+Alt+N is left half-grabbed" "$XTOOL" probe n num
check "... nor with CapsLock" "$XTOOL" probe n caps
check "the line is written once" [ "$(grep -c 'Quillhaven: hotkey' "$APP_LOG")" -eq 1 ]
stop_app
kill "$GRAB_PID" 2>/dev/null

# --- no X server: the program starts all the same
: >"$E2E_TMP/app.log"
QT_QPA_PLATFORM=offscreen start_app --login-item
unavailable() { grep -qx "Quillhaven: global hot keys are unavailable without an X server" "$APP_LOG"; }
check "without X the missing hot keys are logged" wait_for 20 unavailable
check "and the program keeps running" kill -0 "$APP_PID"
stop_app

e2e_finish
