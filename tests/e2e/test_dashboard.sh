#!/bin/bash
# The dashboard on a real X server: it opens at launch with a dozen notes, makes a note under a
# folder and trashes it, and remembers its frame across close and reopen. (Search and the
# rows it shows: ListTest.)
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
e2e_setup "$1"

# A dozen notes of every colour, some pinned, on screen, tagged, deleted, one with an image.
mkdir -p "$APP_DATA/images"
IMAGE=3F2504E0-4F89-41D3-9A0C-0305E82C3301.png
convert -size 320x200 gradient:'#7fb2e5-#1d4e89' "$APP_DATA/images/$IMAGE"
python3 - "$NOTES" "$IMAGE" <<'PY'
import json, sys, time, uuid
now = time.time() - 978307200  # seconds since 2001-01-01
def note(text, age, color="yellow", folder="Personal", **extra):
    return {"id": str(uuid.uuid4()).upper(), "text": text, "folded": False, "onScreen": False,
            "x": 200, "y": 300, "color": color, "folder": folder, "pinned": False,
            "created": now - age - 100, "modified": now - age, "pw": 220, "ph": 220, **extra}
notes = [
    note("Groceries\nMilk, eggs, sourdough, basil #errands", 600, "green", pinned=True),
    note("Q3 planning\nDraft the roadmap before Thursday #work", 3 * 3600, "blue", "Work"),
    note("Call the dentist\nAsk about the cleaning appointment", 26 * 3600, "pink"),
    note("Book ideas\nThe Overstory, Piranesi, Klara and the Sun #reading", 3 * 86400, "yellow", "Ideas"),
    note("Trip to Lisbon\nTram 28, Belem, pasteis de nata", 5 * 86400, "blue", images=[sys.argv[2]]),
    note("Standup notes\nShip the search fix; review the sync PR #work", 2 * 3600, "yellow", "Work", onScreen=True),
    note("Gift list\nMum: scarf; Sam: headphones", 9 * 86400, "pink"),
    note("Recipe: shakshuka\nTomatoes, peppers, cumin, eggs", 14 * 86400, "green", "Ideas"),
    note("Wi-Fi password\ncorrect horse battery staple", 40 * 86400, "yellow", pinned=True),
    note("Bike repair\nNew chain and brake pads", 6 * 86400, "green"),
    note("Old meeting\nNothing to keep here", 2 * 86400, "blue", "Work", deletedAt=now - 60),
    note("Podcast list\nHardcore History; Radiolab", 20 * 86400, "pink", "Ideas"),
]
json.dump(notes, open(sys.argv[1], "w"))
PY

start_app
if ! wait_for 20 dashboard_open; then
    # A machine that booted moments ago shows no dashboard at launch: ask for it.
    timeout 20 "$QUILLHAVEN" >/dev/null 2>&1
fi
check "the dashboard opens" wait_for 20 dashboard_open
WIN=$(dashboards | head -1)
read -r x y w h < <(geometry "$WIN")
check "it opens at 1000 x 640" [ "$w" -eq 1000 -a "$h" -eq 640 ]
activate "$WIN"
CROP=$(crop_of "$WIN")
wait_steady 5 screen_digest "$CROP"
shot dashboard
# click X Y: a click at that point of the dashboard, then a wait for its repaint.
click() { repainted 5 "$CROP" xdotool mousemove --window "$WIN" "$1" "$2" click 1; }

# Ctrl+N under the Work folder: click "Work" in the sidebar first.
click 60 242 # "Work" in the Folders section
xdotool key ctrl+n
check "Ctrl+N makes a note in the folder chosen in the sidebar" \
    wait_for 10 file_is "len(notes) == 13 and notes[-1]['folder'] == 'Work'"
xdotool type --delay 20 "Typed in the dashboard"
check "typing reaches the notes file" \
    wait_for 10 grep -q "Typed in the dashboard" "$NOTES"
shot dashboard-new-note

# Delete on the first note under Work, the one typed above, from the list.
click 360 125
xdotool key Delete
typed_deleted() { file_is "any('deletedAt' in n for n in notes if 'Typed in' in n['text'])"; }
check "Delete trashes the highlighted note" wait_for 10 typed_deleted
# Close and bring back: the same window, its frame remembered.
xdotool key ctrl+w
check "Ctrl+W closes the dashboard" wait_for 10 dashboard_closed
check "its frame is remembered" wait_for 10 grep -q "^Dashboard=" \
    "$XDG_CONFIG_HOME/Quillhaven/Quillhaven.conf"
timeout 20 "$QUILLHAVEN" >/dev/null 2>&1
check "a second launch shows it again" wait_for 10 dashboard_open
stop_app
e2e_finish
