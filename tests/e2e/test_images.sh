#!/bin/bash
# Images on a real X server (1440 x 900): paste a large PNG from the clipboard into a note,
# remove it from the picture's menu, then capture screen regions into new
# notes with Ctrl+Alt+S (dragging a rectangle over the overlay, and cancelling with Escape).
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
e2e_setup "$1"
export TMPDIR="$E2E_TMP/tmp"
mkdir -p "$TMPDIR"

one_note 6F1C0D8E-3E1A-4C55-9B0B-0A5E3C1D2F11 Holiday true 100 200 ',"pw":300,"ph":250'

start_with_pad
NOTE_AT="100 370 380 330"
check "the note comes back on the screen" wait_for 20 note_window
NOTE=$(note_window)
shot 01-note

# --- paste a 3000 x 1500 PNG from the clipboard
png "$E2E_TMP/big.png" 3000 1500
offer_png "$E2E_TMP/big.png"
# The click gives the note the keyboard; its text area has it by the time the keys come.
focus_note "$NOTE"
xdotool key ctrl+v
check "the pasted image is listed in the notes file" \
    wait_for 10 file_is "len(notes[0].get('images', [])) == 1"
# The note's window keeps its top-left corner while it grows.
check "the note grows by the image (140) and its gap (6)" wait_for 5 at "$NOTE" "100 370 380 476"
shot 02-pasted

# --- "Remove Image" from the picture's own menu: the tile that asks goes away, the program stays
windows=$(app_windows | wc -l)
read -r nx ny nw _ <<<"$(geometry "$NOTE")"
# The image strip sits under the paper's 26-point header; the paper has a 40-point margin.
xdotool mousemove $((nx + nw / 2)) $((ny + 40 + 26 + 50)) click 3
# Once the menu is up, the program hands it every key.
wait_for 5 windows_more_than "$windows"
xdotool key Down Return
check "Remove Image takes the picture off the note" wait_for 5 file_is "notes[0].get('images', []) == []"
check "the note shrinks back" wait_for 5 at "$NOTE" "100 370 380 330"

# --- capture a region into a new note
xdotool key ctrl+alt+s
check "Ctrl+Alt+S starts the capture overlay" wait_for 10 overlay_window
wait_for 5 "$XTOOL" held # the overlay takes the keyboard and the pointer
xdotool mousemove 300 200 mousedown 1
xdotool mousemove 400 260
xdotool mousemove 500 350
shot 05-selecting
xdotool mouseup 1
check "the capture child ends after the drag" wait_for 10 no_capture
check "a blue screenshot note holds the region" wait_for 10 file_is \
    "len(notes) == 2 and notes[1]['color'] == 'blue' and notes[1]['text'].startswith('Screenshot \u00b7 ') and len(notes[1]['images']) == 1"
SHOT="$APP_DATA/images/$(notes_eval "notes[1]['images'][0]")"
check "the captured image is 200 x 150" [ "$(png_size "$SHOT")" = "200 150" ]
check "no temporary capture file is left" [ -z "$(find "$TMPDIR" -name 'quillhaven-*')" ]
shot 06-captured

# --- Escape cancels a capture: the child itself, as the program starts it, writes nothing
spawn 60 "$QUILLHAVEN" --capture-region "$TMPDIR/quillhaven-cancel.png" >/dev/null 2>&1
CHILD=$SPAWNED
check "the overlay opens again" wait_for 10 overlay_window
wait_for 5 "$XTOOL" held
xdotool key Escape
check "Escape ends the capture child" wait_for 10 no_capture
reap 30 "$CHILD"
check "a cancelled capture exits normally" [ $? -eq 0 ]
check "and writes no file" [ ! -e "$TMPDIR/quillhaven-cancel.png" ]
check "the notes are unchanged" file_is "len(notes) == 2"

stop_app
e2e_finish
