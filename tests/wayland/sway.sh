# shellcheck shell=bash disable=SC2034
# The settings below are read by run-wayland, which sources this file.
# sway (wlroots) for run-wayland: started headless with XWayland, its key bindings running the
# program's command-line actions, input through the virtual-pointer and virtual-keyboard
# protocols, screenshots with grim, window rectangles from its own tree.

SCREENSHOTS=1
COMPOSITOR_TREE=1
BOUND_KEYS=1 # Ctrl+Alt+N and Ctrl+Alt+S are sway bindings, not the program's grabs

compositor_start() {
    cat >"$E2E_TMP/sway.conf" <<EOF
output HEADLESS-1 mode 1440x900 position 0 0
output * bg #3465a4 solid_color
xwayland enable
bindsym Ctrl+Alt+n exec $QUILLHAVEN --toggle-dashboard
bindsym Ctrl+Alt+s exec $QUILLHAVEN --capture
exec dbus-update-activation-environment WAYLAND_DISPLAY DISPLAY SWAYSOCK XDG_CURRENT_DESKTOP=sway && dbus-send --session --dest=org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop org.freedesktop.DBus.Peer.Ping
exec env > $E2E_TMP/session.env
${SWAY_CONFIG_EXTRA:-}
EOF
    # The wlroots portal will not start without PipeWire, even for screenshots. The portals
    # start, as in a desktop session, once the bus knows the displays (the Ping above).
    spawn 900 "${RUN_AS[@]}" env -i "${SESSION_ENV[@]}" pipewire >/dev/null 2>&1
    spawn 900 "${RUN_AS[@]}" env -i "${SESSION_ENV[@]}" XDG_CURRENT_DESKTOP=sway \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$E2E_TMP/sway.conf" >"$E2E_SHOTS/compositor.log" 2>&1
    wait_for 30 grep -q '^SWAYSOCK=' "$E2E_TMP/session.env" || return 1
    session_from_env WAYLAND_DISPLAY DISPLAY SWAYSOCK
}

input_driver() { as_user WLINPUT_EXTENT="1440 900" /usr/bin/python3 "$WL_USER_DIR/input.py" wlroots; }

native_start() {
    as_user foot --app-id=quillhaven-foot --title=quillhaven-foot sh >"$E2E_SHOTS/foot.log" 2>&1 &
    E2E_PIDS+=("$!")
    wait_for 15 native_rect
}

# sway_node 'PYTHON CONDITION ON n' 'PYTHON EXPRESSION OF n': the first matching node's value.
sway_node() {
    as_user swaymsg -r -t get_tree | /usr/bin/python3 -c '
import json, sys
def walk(n):
    yield n
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        yield from walk(c)
for n in walk(json.load(sys.stdin)):
    r, w = n["rect"], n.get("window_rect") or {}
    if '"$1"':
        print('"$2"')
        break
else:
    sys.exit(1)'
}

native_rect() {
    sway_node 'n.get("app_id") == "quillhaven-foot"' \
        '"%d %d %d %d" % (r["x"], r["y"], r["width"], r["height"])'
}

native_focus() { as_user swaymsg '[app_id=quillhaven-foot] focus' >/dev/null; }
native_focused() { sway_node 'n.get("app_id") == "quillhaven-foot" and n["focused"]' 1; }

# compositor_rect XID: where sway shows an X window's content, "x y w h"; "unmanaged" for an
# override-redirect window, which sway leaves out of its tree and draws where X puts it.
compositor_rect() {
    sway_node "n.get('window') == $(($1))" \
        '"%d %d %d %d" % (r["x"] + w.get("x", 0), r["y"] + w.get("y", 0), w.get("width", r["width"]), w.get("height", r["height"]))' ||
        echo unmanaged
}

screen_shot() { as_user grim - >"$E2E_SHOTS/$1.png" 2>/dev/null; }

# screen_crop "X,Y WxH" FILE: that part of the screen as PNG.
screen_crop() { as_user grim -g "$1" - >"$2" 2>/dev/null; }

screen_pixel() {
    as_user grim -g "$1,$2 1x1" - 2>/dev/null | convert png:- txt:- 2>/dev/null |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}
