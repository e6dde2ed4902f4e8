#!/bin/bash
# Two computers sharing their notes through Syncthing, both on this machine: two Syncthing
# instances on 127.0.0.1 only, each with its own home and the one notes folder shared between
# them, and two copies of the program on two private X servers, one per synced folder. Notes
# are created, edited, trashed, restored, deleted forever and given an image on both sides,
# also while B's folder is paused so that Syncthing makes a real conflict copy; after each
# step both notes files must hold the same notes with the same content, every edit present
# and nothing deleted back.
# shellcheck source=pair.sh
. "$(dirname "$0")/pair.sh"
pair_setup "$1"
FOLDER_A="$E2E_TMP/A/notes" FOLDER_B="$E2E_TMP/B/notes"

# --- two Syncthing instances, introduced to each other
start_syncthing A && start_syncthing B
check "both Syncthing instances answer on 127.0.0.1" wait_for 30 syncthing_up
check "each is introduced to the other at its address and shares the folder" introduce
check "each sees the other connected" wait_for 30 connected
# Conflict copies are merged and removed at once: a watch sees them all the same.
"$PAIR_PY" watch "$E2E_TMP/created.log" "$FOLDER_A" "$FOLDER_B" &
E2E_PIDS+=("$!")

# --- the two programs
for side in A B; do
    on "$side" xdotool mousemove 100 800
    pair_start_app "$side"
done
both_pads() { on A wait_for 20 pad_window && on B wait_for 20 pad_window; }
check "each program starts on its own X server" both_pads

# --- helpers over either side's screen; run them with `on SIDE`

# mine EXPR: this side's notes file holds the python expression over its notes (see pair.py).
mine() { "$PAIR_PY" same "$NOTES" "$NOTES" "$1"; }
# note_of TEXT KEY: a value of the note whose text holds TEXT.
note_of() { notes_eval "[n for n in notes if '$1' in n['text']][0]['$2']"; }

# The program's note windows on this side: all but the pad and the dashboard.
note_windows() {
    local others w
    others=$(pad_window; dashboards)
    for w in $(app_windows); do grep -qx "$w" <<<"$others" || echo "$w"; done
}
# new_note TEXT: a note from the command line, as a person's launcher would make it, typed in;
# the first on this side's screen.
new_note() {
    timeout 20 "$QUILLHAVEN" --new-note && wait_for 10 only_note_window || return 1
    wait_steady 10 geometry "$(only_note_window)"
    type_into_note "$(only_note_window)" "$1"
}
# type_into_note WINDOW TEXT: a click low in the paper's text, clear of the pictures above
# and the resize grip in the corner, then the keys at the end of the text.
type_into_note() { focus_note "$1"; xdotool type --delay 20 "$2"; }
# Ctrl+W closes the dashboard; a key that came before the focus did is tried again.
close_dashboard() {
    local _
    for _ in 1 2 3; do
        dashboard_open || return 0
        timeout 10 xdotool windowfocus --sync "$(dashboards | head -1)" 2>/dev/null
        xdotool key ctrl+w
        wait_for 3 dashboard_closed && return 0
    done
    return 1
}
# The one note on this side's screen, the dashboard closed so that it does not cover it.
only_note_window() {
    close_dashboard || return 1
    [ "$(note_windows | wc -l)" = 1 ] && note_windows
}

# The dashboard, opened once per side; window-relative places of what the test clicks.
dashboard() {
    dashboard_open || timeout 20 "$QUILLHAVEN" --toggle-dashboard
    wait_for 10 dashboard_open || return 1
    DASH=$(dashboards | head -1)
    activate "$DASH"
}
# A click in the dashboard. The program takes its input in order, so what comes next finds
# the click done; only the search, which filters the list, is waited for.
click_dash() { xdotool mousemove --window "$DASH" "${1% *}" "${1#* }" click 1; }
# The editor's text is clicked low down, clear of its pictures above.
ALL_NOTES="60 73" RECENTLY_DELETED="60 478" FIRST_ROW="360 125" EDITOR_TEXT="740 620"
RESTORE="822 42" DELETE_FOREVER="929 42"
# search_for TERM: TERM typed into the search; once the dashboard has repainted, the list is
# filtered, since it follows each key at once.
search_for() { repainted 5 "$(crop_of "$DASH")" xdotool type --delay 20 "$1"; }
# under FILTER: the dashboard showing that filter, its search empty.
under() {
    dashboard || return 1
    click_dash "$1"
    xdotool key ctrl+f ctrl+a BackSpace
}
# pick FILTER TERM: the one note the search finds under that filter, opened in the editor.
pick() { under "$1" || return 1; search_for "$2"; click_dash "$FIRST_ROW"; }
# edit_in_dashboard TERM TEXT: TEXT typed at the end of the note found by TERM.
edit_in_dashboard() {
    pick "$ALL_NOTES" "$1" || return 1
    click_dash "$EDITOR_TEXT"
    xdotool key ctrl+End
    xdotool type --delay 20 "$2"
}
# new_in_dashboard TEXT: Ctrl+N in the dashboard, then the text.
new_in_dashboard() { under "$ALL_NOTES" && xdotool key ctrl+n && xdotool type --delay 20 "$1"; }
# The row found by TERM, moved to Recently Deleted with the Delete key.
trash_in_dashboard() { pick "$ALL_NOTES" "$1" && xdotool key Delete; }
restore_in_dashboard() { pick "$RECENTLY_DELETED" "$1" && click_dash "$RESTORE"; }
delete_forever_in_dashboard() { pick "$RECENTLY_DELETED" "$1" && click_dash "$DELETE_FOREVER"; }

# --- a note on each side
check "A: --new-note makes a note on A's screen, typed in" on A new_note "Alpha from A"
check "B: a note made in B's dashboard, typed in" on B new_in_dashboard "Beta from B"
on A shot A-01-alpha
on B shot B-01-beta
converge "both computers hold both new notes" 20 'live("Alpha from A")' 'live("Beta from B")'
no_note_on_screen() { [ -z "$(note_windows)" ]; }
check "A's note arrives tucked on B: no note on B's screen" on B no_note_on_screen

# --- each edits the other's note at the same time
check "A edits B's note in its dashboard" on A edit_in_dashboard "Beta from B" " / edited on A"
check "B edits A's note in its dashboard" on B edit_in_dashboard "Alpha from A" " / edited on B"
converge "both computers converge on both edits" 20 \
    'live("Beta from B / edited on A")' 'live("Alpha from A / edited on B")'

# --- trash, restore, delete forever
check "A moves B's note to Recently Deleted" on A trash_in_dashboard "Beta from B"
converge "both computers converge on the trashed note" 20 'trashed("Beta from B")'
check "B restores it" on B restore_in_dashboard "Beta from B"
converge "both computers converge on the restored note" 20 'live("Beta from B")'
check "B makes a third note" on B new_in_dashboard "Gamma from B"
converge "both computers hold the third note" 20 'live("Gamma from B")'
GAMMA=$(on A note_of "Gamma from B" id 2>/dev/null || on B note_of "Gamma from B" id)
check "A deletes it: to Recently Deleted" on A trash_in_dashboard "Gamma from B"
check "... and forever" on A delete_forever_in_dashboard "Gamma from B"
converge "both computers converge on the note deleted forever" 20 "absent('$GAMMA')"
tombstoned() { grep -qs "$GAMMA" "$FOLDER_A/notes.tombstones.json" &&
    grep -qs "$GAMMA" "$FOLDER_B/notes.tombstones.json"; }
check "its tombstone is in both folders" wait_for 20 tombstoned

# --- a picture pasted on A
png=$E2E_TMP/picture.png
convert -size 240x160 gradient:'#f08c1e-#149696' "$png"
(side_env A && exec timeout 120 xclip -selection clipboard -t image/png -i "$png" 2>/dev/null) &
E2E_PIDS+=("$!")
# Each step says what it waited for: a failure here was seen once under heavy load.
paste_image() {
    local win
    win=$(only_note_window) || { echo "     not one note window alone"; return 1; }
    wait_for 10 clipboard_offers image/png || { echo "     xclip offers no image/png"; return 1; }
    # A Ctrl+V within a moment of the clipboard changing pasted nothing in one run in ten on a
    # loaded machine, with nothing logged: not yet explained, so the key waits a second.
    sleep 1
    type_into_note "$win" "" || { echo "     the note did not take the focus"; return 1; }
    xdotool key ctrl+v
    wait_for 10 mine 'len(images("Alpha from A")) == 1' ||
        { echo "     no picture in the file 10 s after Ctrl+V"; tail -3 "$APP_LOG"; return 1; }
}
check "A pastes a picture into its note" on A paste_image
on A shot A-02-picture
converge "both computers converge on the note with its picture" 20 \
    'len(images("Alpha from A")) == 1'
note_rect() { geometry "$(only_note_window)"; }
A_RECT=$(on A note_rect)
IMAGE=$(on A note_of "Alpha from A" images 2>/dev/null | tr -d "[]' ")
check "the picture's file arrives in B's folder, the same bytes" \
    wait_for 20 cmp -s "$FOLDER_A/images/$IMAGE" "$FOLDER_B/images/$IMAGE"

# --- B away: its folder paused while both sides change the same note
# A paused folder has no state: it neither scans nor pulls.
b_paused() {
    st B GET "/rest/db/status?folder=$PAIR_FOLDER_ID" | json "repr(j['state'])" | grep -qx "''"
}
check "B's folder is paused and stopped" eval 'pause B true && wait_for 10 b_paused'
edit_on_screen() { local win && win=$(only_note_window) && type_into_note "$win" "$1"; }
check "A types in its note on the screen" on A edit_on_screen " / typed on A, B away"
check "A moves B's note to Recently Deleted again" on A trash_in_dashboard "Beta from B"
check "B types in the same note in its dashboard" \
    on B edit_in_dashboard "Alpha from A" " / typed on B while away"
check "B makes a new note" on B new_in_dashboard "Delta, made on B while away"
own_changes() {
    on A mine 'has("typed on A, B away") and trashed("Beta from B")' &&
        on B mine 'has("typed on B while away") and live("Delta, made on B")'
}
check "each side's file holds its own changes" wait_for 10 own_changes
on A shot A-03-away
on B shot B-03-away
check "B's folder is resumed" pause B false
conflicted() { grep -q '^notes\.sync-conflict-.*\.json$' "$E2E_TMP/created.log"; }
check "Syncthing makes a conflict copy of the notes file" wait_for 30 conflicted
# Both texts of the note changed apart stay: the later in the note, the other in a copy.
converge "both computers converge after B's return, every change kept" 30 \
    'has("typed on A, B away")' 'has("typed on B while away")' \
    'has(" (from another computer)")' 'live("Delta, made on B")' 'trashed("Beta from B")' \
    "absent('$GAMMA')"

# --- at rest
no_conflict_copies() { ! compgen -G "$FOLDER_A/*sync-conflict*" && ! compgen -G "$FOLDER_B/*sync-conflict*"; }
check "the conflict copies are merged and removed" wait_for 20 no_conflict_copies
# Syncthing says it has nothing to move a moment before it has scanned a program's last write,
# and a program merges an arrival a moment after it is in place: at rest, both files are the
# same bytes with nothing to move, and still so two seconds on (longer than either takes).
state() { md5sum "$FOLDER_A/notes.json" "$FOLDER_B/notes.json"; ls "$FOLDER_A" "$FOLDER_B"; }
same_bytes() { cmp -s "$FOLDER_A/notes.json" "$FOLDER_B/notes.json"; }
at_rest() {
    local before
    in_sync && same_bytes || return 1
    before=$(state)
    sleep 2
    in_sync && [ "$(state)" = "$before" ]
}
check "Syncthing has nothing left to move, both files the same bytes" wait_for 60 at_rest
at_rest=$(state)
sleep 5 # a ping-pong between the two would rewrite the files within this time
check "neither side writes again (no ping-pong)" [ "$(state)" = "$at_rest" ]
still_there() { [ "$(geometry "$(only_note_window)")" = "$A_RECT" ]; }
check "A's note has kept its place on A's screen" on A still_there
check "and B's screen still shows no note" on B no_note_on_screen
on A shot A-04-end
on B shot B-04-end

only_merges() {
    ! grep "Quillhaven:" "$APP_LOG" | grep -qvx "Quillhaven: merged [0-9]* change(s) from outside"
}
check "A logged nothing but merges" on A only_merges
check "B logged nothing but merges" on B only_merges
e2e_finish
