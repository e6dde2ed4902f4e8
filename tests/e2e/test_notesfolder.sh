#!/bin/bash
# "Notes Folder…" on a real X server: chosen from the pad's menu, the folder chooser opens
# without holding up the program, a folder typed into it receives the notes file, new notes are
# saved in the new folder only, and the next start opens the notes there. (What moves along with
# the notes file: NotesFolderTest and NotesFolderMoveTest.)
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
e2e_setup "$1"

one_note 6F1C0D8E-3E1A-4C55-9B0B-0A5E3C1D2F01 "travels along" false 0 0
TARGET="$HOME/Sync/Notes"
mkdir -p "$TARGET"
MOVED="$TARGET/notes.json"
count_in() { python3 -c "import json,sys; print(len(json.load(open(sys.argv[1]))))" "$1" 2>/dev/null; }

start_with_pad

# The pad's menu: open the pad at the top edge, right-click the island.
open_pad
xdotool mousemove 720 14
# The island has grown under the pointer.
pad_at_rest
xdotool click 3
# A popup menu carries no process id: it is found by its place, at the pointer.
check "the pad's menu opens" wait_for 5 any_window_at "720 14"
shot pad-menu
# All Notes…, Bring All Notes Back, Notes Folder…
xdotool key Down Down Down Return
chooser() { app_windows '^Choose the Notes Folder$' | head -1 | grep .; }
check "Notes Folder… opens the folder chooser" wait_for 10 chooser
# The program is not waiting on the dialog: a request from a later launch is served meanwhile.
app_action --toggle-dashboard
check "the program answers while the chooser is open" wait_for 10 dashboard_open
app_action --toggle-dashboard
wait_for 10 dashboard_closed
activate "$(chooser)"
shot folder-chooser
# The chooser opens at the current folder; the typed path replaces what its field holds.
xdotool key ctrl+a
xdotool type --delay 20 "$TARGET"
# A completion list that the path brings up takes the first Return.
xdotool key Return
chooser_gone() { ! chooser; }
wait_for 3 chooser_gone || xdotool key Return
check "the chooser closes on the chosen folder" wait_for 10 chooser_gone

check "the notes file is in the new folder" wait_for 20 [ -f "$MOVED" ]
check "with its note" [ "$(count_in "$MOVED")" = 1 ]

app_action --new-note
two_saved() { [ "$(count_in "$MOVED")" = 2 ]; }
check "a new note is saved in the new folder" wait_for 10 two_saved
check "and never in the old one" [ ! -e "$NOTES" ]
check "nothing was logged" nothing_logged

stop_app
start_app --login-item
check "the next start runs" wait_for 20 pad_window
app_action --new-note
three_saved() { [ "$(count_in "$MOVED")" = 3 ]; }
check "and opens the notes in the chosen folder" wait_for 10 three_saved
stop_app
e2e_finish
