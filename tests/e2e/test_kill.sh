#!/bin/bash
# Nothing typed is lost when the program dies. The real program is started again and again
# on a note, keys are typed into it through the X server, and the process is killed with
# SIGKILL at a random moment: while starting, while loading, between keys, in the middle of a
# save, and between a key and its write (saving runs on a thread of its own, a few
# milliseconds behind the key). After every kill the notes file must decode, and must hold
# everything that was on disk a moment before the kill. Then SIGTERM and SIGHUP (the end of the session) must end the
# program cleanly with the last key on disk. E2E_KILLS sets the number of kills (default 200);
# they stop early after E2E_KILL_SECONDS (150), so a slow machine still ends within the suite's
# deadline.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
e2e_setup "$1"
KILLS=${E2E_KILLS:-200}
KILL_SECONDS=${E2E_KILL_SECONDS:-150}
ID=0C8A5E1B-7D2F-4E3A-9B1C-5D6E7F8A9B0C

one_note "$ID" "" true 100 200
# What will be typed, chunk by chunk, over all the runs: lower-case letters and digits only,
# so every key is on the keyboard map and lands as itself.
MASTER=$(python3 -c "import random; random.seed(7); print(''.join(random.choice('abcdefghijklmnopqrstuvwxyz0123456789') for _ in range(20000)))")

# Verdict on the file after a kill, given the text seen just before it: prints the text
# length on success, a reason on failure.
cat >"$E2E_TMP/verdict.py" <<'PY'
import json, os, sys
path, before_path, master = sys.argv[1], sys.argv[2], sys.argv[3]
def text_of(path, when):
    try:
        notes = json.load(open(path, "rb"))
        assert isinstance(notes, list) and len(notes) == 1, "not one note"
        assert {"id", "text", "folded", "onScreen", "x", "y"} <= notes[0].keys(), "keys missing"
        return notes[0]["text"]
    except Exception as e:
        sys.exit("unreadable %s the kill: %s" % (when, e))
after = text_of(path, "after")
before = text_of(before_path, "before") if os.path.getsize(before_path) else ""
if not after.startswith(before):
    sys.exit("lost saved keys: had %r, now %r" % (before[-20:], after[-20:]))
if not master.startswith(after):
    sys.exit("text that was never typed: %r" % after[-20:])
print(len(after))
PY
NOTE_AT="100 400 300 300"
random_delay() { printf '0.%03d' $((RANDOM % ${1:-400})); }

kills=0 failures=0 typed_runs=0 mid_save=0 key_runs=0 key_unwritten=0 length=0
kill_start=$SECONDS
for ((i = 1; i <= KILLS && SECONDS - kill_start < KILL_SECONDS; i++)); do
    start_app --login-item
    typist=""
    key_run=0
    if ((i % 10 == 0)); then
        sleep "$(random_delay 600)" # somewhere in start-up and loading
    elif ((i % 10 == 5)) && focus_note; then
        # One key, and the kill a few milliseconds after the server sent it: before, during
        # or just after its write.
        xdotool key "${MASTER:length:1}"
        sleep "0.00$((RANDOM % 10))" # the kill lands a few milliseconds after the key
        key_run=1 key_runs=$((key_runs + 1))
    elif focus_note; then
        chunk=${MASTER:length:12}
        xdotool type --delay 12 "$chunk" &
        typist=$!
        typed_runs=$((typed_runs + 1))
        sleep "$(random_delay)" # the kill comes at a random moment of the typing
        ((i == 1)) && shot typing
    fi
    cat "$NOTES" >"$E2E_TMP/before.json" 2>/dev/null || : >"$E2E_TMP/before.json"
    kill -KILL "$APP_PID" 2>/dev/null
    reap 30 "$APP_GUARD" >/dev/null 2>&1
    # Killing the typist could leave a key held down, and the server would repeat it into the
    # next run; its few remaining keys go nowhere.
    [ -n "$typist" ] && reap 30 "$typist" >/dev/null
    kills=$((kills + 1))
    # The temporary file exists only between the start of a save and its rename.
    if compgen -G "$NOTES.saving-*" >/dev/null; then
        mid_save=$((mid_save + 1))
        rm -f "$NOTES".saving-*
    fi
    if ! verdict=$(python3 "$E2E_TMP/verdict.py" "$NOTES" "$E2E_TMP/before.json" "$MASTER" 2>&1); then
        echo "kill $i: $verdict"
        failures=$((failures + 1))
        break
    fi
    ((key_run && verdict == length)) && key_unwritten=$((key_unwritten + 1))
    length=$verdict
done
aside=$(find "$APP_DATA" -name 'notes.json.*' ! -name 'notes.json.saving-*' | wc -l)
echo "     $kills kills, $typed_runs while typing, $mid_save inside a save, $key_runs just after" \
    "a key ($key_unwritten before its write), $length keys on disk, $failures losses"
check "$kills kills, and every one left the saved text whole" [ "$failures" -eq 0 ]
check "enough kills to meet every moment of a save (at least 30)" [ "$kills" -ge 30 ]
check "most runs typed something that was saved" [ "$length" -ge $((typed_runs * 3)) ]
check "no file was ever judged unreadable or changed outside" [ "$aside" -eq 0 ]

# A polite end: the event loop quits, windows close and the program exits with status 0.
quits_cleanly() {
    start_app --login-item
    focus_note || return 1
    xdotool type --delay 20 "$2"
    wait_for 5 grep -q "$2\"" "$NOTES" || return 1
    end_app "$1" 120 && grep -q "$2\"" "$NOTES"
}
check "SIGTERM quits cleanly with the last key on disk" quits_cleanly TERM "termend"
check "SIGHUP (the session ends) quits cleanly with the last key on disk" quits_cleanly HUP "hupend"

log_empty() { [ ! -s "$APP_LOG" ] || { head -40 "$APP_LOG"; false; }; }
check "the program wrote nothing to its log" log_empty
e2e_finish
