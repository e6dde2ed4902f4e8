#!/bin/bash
# A person's first notes, on a real X server (1440 x 900, no top panel, so the notch is 24
# high): open the pad at the top edge, pull a note out, type into it, drag it by its header,
# fold it and resize it by its grip. After each step the notes file and the window rectangles
# are checked, and a screenshot is kept. (A flick back into the notch, and the same window on
# the next pull: GesturesTest.)
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
e2e_setup "$1"

start_with_pad

# --- pull a new note out of the pad
check "pushing against the top edge opens the pad" open_pad
shot 01-pad-open
check "a note is pulled out of the pad" pull_note_to 700 400 01b-peeling
NOTE=$(note_window)
settled() { [ "$(notes_eval "len(notes)" 2>/dev/null)" = 1 ] && file_is "notes[0]['onScreen']"; }
check "the file holds one note on screen" wait_for 5 settled
# The paper's top edge lies 14 above the pointer; the window is the paper plus 40 around. The
# file is written as the note is let go, a moment before the window has landed.
check "the note's window is centred on the release point" wait_for 5 at "$NOTE" "550 346 300 300"
check "the file keeps the window's origin (y up)" \
    file_is "(notes[0]['x'], notes[0]['y']) == (550, 254)"
shot 02-pulled

# --- type into it
check "the empty note takes the keyboard" wait_for 5 focused_on "$NOTE"
xdotool type --delay 30 "Groceries"
check "the file holds the first burst" wait_for 5 file_is "notes[0]['text'] == 'Groceries'"
xdotool key Return
xdotool type --delay 30 "milk, eggs"
check "the file holds the second burst" \
    wait_for 5 file_is "notes[0]['text'] == 'Groceries\nmilk, eggs'"
shot 03-typed

# --- drag it by its header
read -r nx ny _ _ <<<"$(geometry "$NOTE")"
drag_header "$NOTE" -300 100
moved() { at "$NOTE" "$((nx - 300)) $((ny + 104)) 300 300"; }
check "the window follows the header drag" wait_for 5 moved
check "the file's x and y follow the window" \
    wait_for 5 file_is "(notes[0]['x'], notes[0]['y']) == ($((nx - 300)), $((900 - ny - 104 - 300)))"
check "the text survives the drag" file_is "notes[0]['text'] == 'Groceries\nmilk, eggs'"
shot 04-dragged

# --- fold it by double-clicking the header
read -r nx ny _ _ <<<"$(geometry "$NOTE")"
xdotool mousemove $((nx + 150)) $((ny + 53))
xdotool click --repeat 2 --delay 60 1
check "double-clicking the header folds the note" wait_for 5 file_is "notes[0]['folded']"
shot 07-folded
xdotool click --repeat 2 --delay 60 1
check "double-clicking again unfolds it" wait_for 5 file_is "not notes[0]['folded']"

# --- resize it by the grip in the paper's bottom-right corner, once the paper has unfolded
# inside its window (which keeps its size meanwhile)
wait_steady 5 screen_digest "$(crop_of "$NOTE")"
read -r nx ny _ _ <<<"$(geometry "$NOTE")"
xdotool mousemove $((nx + 40 + 220 - 14)) $((ny + 40 + 220 - 14))
xdotool mousedown 1
glide_to $((nx + 40 + 220 - 14 + 80)) $((ny + 40 + 220 - 14 + 60)) 10
shot 08-resizing
xdotool mouseup 1
check "the file has the new paper size" \
    wait_for 5 file_is "(notes[0]['pw'], notes[0]['ph']) == (300, 280)"
check "the window grew right and down, keeping its top-left" \
    wait_for 5 at "$NOTE" "$nx $ny 380 360"
xdotool mousemove 100 800
shot 09-resized

check "nothing logged" nothing_logged
stop_app
e2e_finish
