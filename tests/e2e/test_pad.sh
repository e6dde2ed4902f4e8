#!/bin/bash
# The pad at the notch on a real X server (1440 x 900, no top panel, so the notch is 24 high):
# it opens when the pointer touches the top edge at the centre, grows under the pointer, shows
# the clipboard's image and three peek cards, drops the top note on a click and turns the
# clipboard's image into a note (a card's click dropping its own note: PadTest). Without a
# compositor the window is cut to the island. Screenshots of each look are kept.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
e2e_setup "$1"

# Four tucked notes: the pinned one comes first, then the newest; the oldest is not peeked at.
IMAGE_NAME=6F1C0D8E-3E1A-4C55-9B0B-0A5E3C1D2FAA.png
mkdir -p "$APP_DATA/images"
convert -size 240x140 gradient:'#3b6ea8-#a7d3f0' -fill '#f4d35e' -draw 'circle 170,45 190,45' \
    -fill '#2d5a27' -draw 'polygon 0,140 70,70 130,120 180,80 240,140' \
    "$APP_DATA/images/$IMAGE_NAME"
python3 - "$NOTES" "$IMAGE_NAME" <<'PY'
import json, sys, time
now = time.time() - 978307200  # seconds since 2001-01-01
def note(n, text, ago, **extra):
    record = {"id": "6F1C0D8E-3E1A-4C55-9B0B-0A5E3C1D2F0%d" % n, "text": text, "folded": False,
              "onScreen": False, "x": 0, "y": 0, "created": now - ago, "modified": now - ago}
    record.update(extra)
    return record
json.dump([
    note(1, "Ideas\nA pad that swings when a note goes back", 86400),
    note(2, "Shopping list\nmilk, eggs, bread, coffee beans and something for dinner", 300,
         pinned=True),
    note(3, "Call the plumber\nabout the kitchen sink", 3600, images=[sys.argv[2]], color="blue"),
    note(4, "Old thoughts", 3 * 86400, color="pink"),
], open(sys.argv[1], "w"))
PY

start_with_pad

# Keeps the picture of the pad's corner of the screen, once it is still.
pad_shot() {
    pad_at_rest
    shot "$1"
    convert "$E2E_SHOTS/$1.png" -crop 400x300+520+0 +repage "$E2E_SHOTS/$1-pad.png" 2>/dev/null
}
# The notes that left the pad have landed.
landed() { wait_steady 5 window_layout; }

if [ "${PAD_BARE:-0}" = 1 ]; then
    # No compositor: the window is cut to the island, so the clicks around it pass through.
    check "pushing against the top edge opens the pad" open_pad
    # Below even the expanded island first, so it collapses whether or not it had grown.
    xdotool mousemove 720 260
    pad_at_rest
    xdotool mousemove 720 150
    check "beside the island the pointer reaches what lies below" wait_for 5 not_pad_under
    pad_shot bare-collapsed
    xdotool mousemove 720 12
    check "the island takes the pointer" wait_for 5 pad_under
    pad_shot bare-expanded
    xdotool mousemove 555 150
    check "the expanded island still lets the window's corners through" wait_for 2 not_pad_under
    stop_app
    e2e_finish
fi

# Something to offer: a picture on the clipboard, copied after the program started.
convert -size 320x200 gradient:'#e07a5f-#f2cc8f' "$E2E_TMP/clip.png"
offer_png "$E2E_TMP/clip.png"

xdotool mousemove 720 150
check "the closed pad lets the pointer through" wait_for 3 not_pad_under
check "nothing is drawn at the notch while closed" not_black 700 5
check "pushing against the top edge at the centre opens the pad" open_pad

# Below the island but inside the open pad: the collapsed tab, 150 wide. Below even the
# expanded island first, so it collapses whether or not it had grown.
xdotool mousemove 720 260
pad_at_rest
xdotool mousemove 720 150
check "the collapsed island is black under the notch" wait_for 5 black 700 5
check "the collapsed island is 150 wide" wait_for 5 not_black 640 5
pad_shot 01-collapsed

# Over the island: it grows to 320 x (24 + 218) with the offer and three cards.
xdotool mousemove 720 12
check "the island expands under the pointer" wait_for 5 black 570 5
check "the expanded island reaches 24 + 218 down" wait_for 5 black 720 238
pad_shot 02-expanded

# A click on the header (not a button, a card or the offer) drops the top note.
xdotool mousemove 650 45
xdotool click 1
top_out() { file_is "[n for n in notes if n['text'].startswith('Shopping')][0]['onScreen']"; }
check "a click on the island drops the top tucked note" wait_for 5 top_out
check "its window maps" wait_for 5 windows_more_than 1
landed
pad_shot 04-after-click

# The clipboard offer turns the picture into a note, once.
xdotool mousemove 720 12
pad_at_rest
xdotool mousemove 720 94
pad_at_rest
xdotool click 1
clip_note() { file_is "len(notes) == 5 and len(notes[-1].get('images', [])) == 1"; }
check "the offer makes a note of the clipboard's picture" wait_for 5 clip_note
landed
xdotool mousemove 720 12
check "the offer is gone" wait_for 5 black 669 94
pad_shot 05-offer-used

# Text dragged from another program: the drag reaching the top edge opens the pad, which the
# drag's hold on the pointer would otherwise keep from hearing of it, and the drop on the island
# tucks a note of the text.
spawn 120 "$(dirname "$QUILLHAVEN")/tests/dragsource" "dropped from elsewhere"
check "another program's window to drag from appears" wait_for 10 xdotool search --name '^dragsource$'
xdotool mousemove 140 760 && sleep 0.3 && xdotool mousedown 1
glide_to 720 300 10 && glide_to 720 0 10 && sleep 0.5 && glide_to 720 40 4
dropped() { file_is "notes[-1]['text'] == 'dropped from elsewhere' and not notes[-1]['onScreen']"; }
xdotool mouseup 1
check "its drop on the pad becomes a tucked note" wait_for 5 dropped

check "nothing logged" nothing_logged
stop_app

# Once more without a compositor.
E2E_SHOTS="$E2E_SHOTS" PAD_BARE=1 E2E_NO_COMPOSITOR=1 timeout 240 "$0" "$QUILLHAVEN" || E2E_FAILED=1
e2e_finish
