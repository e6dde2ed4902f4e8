#!/bin/bash
# One writer per notes folder: a copy started with another runtime folder hands over to the one
# holding the notes folder, or says why it cannot start. (A killed copy's lock, even with its
# process id reused, and a FIFO for a notes file: SingleInstanceTest, HostileFileTest.)
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
e2e_setup "$1"

one_note 6F1C0D8E-3E1A-4C55-9B0B-0A5E3C1D2F01 kept false 0 0
chmod 600 "$NOTES"

# stamp: what would change if anything wrote the notes file.
stamp() { stat -c '%i %Y %s' "$NOTES"; md5sum <"$NOTES"; }

start_app --login-item
check "the first copy starts" wait_for 20 pad_window
before=$(stamp)
first_runtime=$XDG_RUNTIME_DIR
mkdir -m 700 "$E2E_TMP/runtime2"
second() {
    XDG_RUNTIME_DIR="$E2E_TMP/runtime2" timeout 60 "$QUILLHAVEN" >>"$E2E_TMP/second.log" 2>&1
}
second
status=$?
check "a copy with another runtime folder hands over and exits 0" [ "$status" -eq 0 ]
check "the first copy shows its dashboard for it" wait_for 10 dashboard_open
check "the notes file was not written (inode, time, bytes)" [ "$(stamp)" = "$before" ]

# The first copy can no longer be reached: its socket is gone, but it holds the notes folder.
rm -f "$first_runtime"/quillhaven-*[0-9]
XDG_RUNTIME_DIR="$E2E_TMP/runtime2" spawn 60 "$QUILLHAVEN" >>"$E2E_TMP/second.log" 2>&1
SECOND=$SPAWNED
message_box() {
    xdotool search --all --onlyvisible --pid "$(pgrep -P "$SECOND" | head -1)" --name '^Quillhaven$' \
        2>/dev/null | head -1 | grep .
}
check "a copy that cannot reach the holder says why in a message box" wait_for 20 message_box
shot folder-in-use
check "and in one log line" [ "$(grep -c 'notes folder in use' "$E2E_TMP/second.log")" -eq 1 ]
close_box() { timeout 10 xdotool windowfocus --sync "$(message_box)" key Return && wait_for 5 gone "$SECOND"; }
check "the box closes with Return" close_box
reap 30 "$SECOND"
status=$?
check "then exits with status 1" [ "$status" -eq 1 ]
check "and never wrote the notes file" [ "$(stamp)" = "$before" ]
stop_app

e2e_finish
