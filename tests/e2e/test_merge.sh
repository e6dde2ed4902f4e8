#!/bin/bash
# Notes changed outside while the program runs, as a folder-sync engine brings them from another
# computer: the notes file replaced by a rename. The note on the screen takes the other
# computer's text and keeps its place; the file keeps the merge, the new note tucked; a
# picture whose file lands after the notes file shows once it is there; a reminder set there
# brings a tucked note out by itself. (Conflict copies: RemoteMergeTest and the two-computer
# suite.)
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
e2e_setup "$1"

A=6F1C0D8E-3E1A-4C55-9B0B-0A5E3C1D2F01
B=6F1C0D8E-3E1A-4C55-9B0B-0A5E3C1D2F02
# Dates are seconds since 2001-01-01: 820000000 is late 2026.
cat >"$NOTES" <<JSON
[{"id":"$A","text":"written here","folded":false,"onScreen":true,"x":400,"y":300,
  "created":819000000,"modified":819000000,"changed":819000000,"versions":{"here":1}}]
JSON
chmod 600 "$NOTES"

start_with_pad
check "the note is on the screen" wait_for 10 note_window
NOTE=$(note_window)
titled() { [ "$(xdotool getwindowname "$NOTE" 2>/dev/null)" = "$1" ]; }
check "its window shows the text written here" wait_for 5 titled "written here"
where=$(geometry "$NOTE")
shot 01-before

# The other computer edited the note (it had seen ours: its versions count ours) and added one;
# its layout differs. The engine writes beside the file and renames it over.
cat >"$APP_DATA/.syncing.tmp" <<JSON
[{"id":"$A","text":"edited elsewhere","folded":false,"onScreen":true,"x":10,"y":10,
  "created":819000000,"modified":820000000,"changed":820000000,"versions":{"here":1,"there":1}},
 {"id":"$B","text":"new elsewhere","folded":false,"onScreen":true,"x":20,"y":20,
  "created":820000000,"modified":820000000,"changed":820000000,"versions":{"there":1}}]
JSON
mv "$APP_DATA/.syncing.tmp" "$NOTES"

merged() { grep -q "Quillhaven: merged $1 change(s) from outside" "$APP_LOG"; }
check "one merge of two changes is logged" wait_for 10 merged 2
check "the note's window shows the other computer's text" wait_for 5 titled "edited elsewhere"
check "it kept its place on this screen" at "$NOTE" "$where"
check "the file keeps the merge, with this screen's layout" wait_for 10 file_is \
    "[(n['text'], n['onScreen']) for n in notes] == [('edited elsewhere', True), ('new elsewhere', False)] and notes[0]['x'] == 400"
shot 02-merged

merges() { grep -c "Quillhaven: merged" "$APP_LOG"; }
sleep 1 # a merge of our own save would follow it within this time; an absence has no event
check "our own saves merged nothing more" [ "$(merges)" -eq 1 ]

# The other computer put a picture on the note; its file comes a moment after the notes file.
PIC=0A1B2C3D-0000-4000-8000-00000000A11C.png
cat >"$APP_DATA/.syncing.tmp" <<JSON
[{"id":"$A","text":"edited elsewhere","folded":false,"onScreen":true,"x":10,"y":10,"images":["$PIC"],
  "created":819000000,"modified":820000200,"changed":820000200,"versions":{"here":1,"there":2}},
 {"id":"$B","text":"new elsewhere","folded":false,"onScreen":false,"x":0,"y":0,
  "created":820000000,"modified":820000000,"changed":820000000,"versions":{"there":1}}]
JSON
mv "$APP_DATA/.syncing.tmp" "$NOTES"
two_merges() { [ "$(merges)" -eq 2 ]; }
check "the picture's note is merged" wait_for 10 two_merges
wait_steady 5 screen_digest "$(crop_of "$NOTE")" >/dev/null
shot 03-picture-on-its-way
waiting=$(screen_digest "$(crop_of "$NOTE")")
mkdir -p "$APP_DATA/images"
convert -size 400x300 xc:teal "png:$APP_DATA/images/.incoming.png"
mv "$APP_DATA/images/.incoming.png" "$APP_DATA/images/$PIC"
arrived() { [ "$(screen_digest "$(crop_of "$NOTE")")" != "$waiting" ]; }
check "the picture shows once its file lands" wait_for 10 arrived
shot 04-picture-arrived

# The other computer set a reminder on the tucked note, two seconds ahead: the note comes out of
# the pad by itself and lands below the notch, and the reminder is cleared. (Whole seconds: two
# to three ahead.)
at=$(python3 -c 'import time; print(int(time.time() - 978307200) + 3)')
cat >"$APP_DATA/.syncing.tmp" <<JSON
[{"id":"$A","text":"edited elsewhere","folded":false,"onScreen":true,"x":10,"y":10,"images":["$PIC"],
  "created":819000000,"modified":820000200,"changed":820000200,"versions":{"here":1,"there":2}},
 {"id":"$B","text":"new elsewhere","folded":false,"onScreen":false,"x":0,"y":0,"remindAt":$at,
  "created":820000000,"modified":820000000,"changed":820000300,"versions":{"there":2}}]
JSON
mv "$APP_DATA/.syncing.tmp" "$NOTES"
check "the reminder is merged" wait_for 10 file_is "notes[1].get('remindAt') == $at"
reminded() { file_is "notes[1]['onScreen'] and 'remindAt' not in notes[1]"; }
check "at its time the tucked note comes out by itself" wait_for 10 reminded
check "its window lands on the screen" wait_for 5 windows_more_than 2
wait_steady 5 window_layout >/dev/null
shot 05-reminder-landed

stop_app
e2e_finish
