#!/bin/bash
# Launch on a real X server: the pad hangs from the top centre and lets clicks through until
# the pointer opens it; notes saved on screen come back where they were, even with their margin
# off the screen (a note wholly off it comes back under the notch: StartUpTest). Screen
# 1440 x 900, no top panel (24).
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
e2e_setup "$1"

cat >"$NOTES" <<'JSON'
[{"id":"6F1C0D8E-3E1A-4C55-9B0B-0A5E3C1D2F01","text":"on screen","folded":false,"onScreen":true,"x":100,"y":200,"pw":300,"ph":250},
 {"id":"6F1C0D8E-3E1A-4C55-9B0B-0A5E3C1D2F03","text":"edge","folded":false,"onScreen":true,"x":-40,"y":-40},
 {"id":"6F1C0D8E-3E1A-4C55-9B0B-0A5E3C1D2F04","text":"tucked","folded":false,"onScreen":false,"x":0,"y":0}]
JSON

xdotool mousemove 100 800
start_app --login-item
check "three windows appear (pad and two notes)" wait_for 20 windows_more_than 2

geometries=$(for w in $(app_windows); do geometry "$w"; done | sort)
echo "     ${geometries//$'\n'/$'\n'     }"
has() { echo "$geometries" | grep -qx -- "$1"; }
# qtTop = 900 - (y + h)
check "note on screen where it was" has "100 370 380 330"
check "note whose margin overhangs stays" has "-40 640 300 300"
check "tucked note has no window" [ "$(app_windows | wc -l)" -eq 3 ]

PAD=$(pad_window)
# Unmanaged: no window manager frames, moves or lists it, on any desktop; the program keeps it
# on top itself.
check "pad is override-redirect" grep -q "Override Redirect State: yes" <<<"$(xwininfo -id "$PAD")"

# Probes stay inside the island: without a compositor the pad is cut to its shape.
xdotool mousemove 720 20
check "the closed pad lets the pointer through" wait_for 2 not_pad_under
shot closed
check "pushing against the top edge opens the pad" open_pad
xdotool mousemove 720 20
check "the open pad takes the pointer under the notch" pad_under
shot open
# Leave the pad until it has closed (nothing drawn at the notch), then come back over it.
leave_and_return() {
    xdotool mousemove 100 800
    wait_for 2 not_black 700 5 && xdotool mousemove 720 20 && wait_for 1 not_pad_under
}
check "the pad closes and lets the pointer through again" wait_for 5 leave_and_return

check "nothing logged" nothing_logged
stop_app
e2e_finish
