# shellcheck shell=bash disable=SC2034
# The settings below are read by run-wayland and kwin.sh, which sources this file.
# Mutter (Wayland) for run-wayland: started headless with XWayland on the run's own session
# bus, input through its RemoteDesktop session. Mutter alone binds no keys to commands (GNOME's
# settings daemon does) and offers no screenshot to other programs (GNOME Shell does), so the
# screenshots kept are of the program's X windows, and the hot keys are the program's own.

SCREENSHOTS=0
COMPOSITOR_TREE=0
BOUND_KEYS=0

compositor_start() {
    spawn 900 "${RUN_AS[@]}" env -i "${SESSION_ENV[@]}" XDG_CURRENT_DESKTOP=GNOME \
        mutter --headless --wayland --virtual-monitor 1440x900 --sm-disable \
        --wayland-display=quillhaven-wayland -- \
        sh -c "env > '$E2E_TMP/session.env.new' && mv '$E2E_TMP/session.env.new' \
            '$E2E_TMP/session.env' && exec sleep 900" >"$E2E_SHOTS/compositor.log" 2>&1
    wait_for 30 test -s "$E2E_TMP/session.env" || return 1
    # As a GNOME session names itself to the programs in it.
    session_from_env WAYLAND_DISPLAY DISPLAY XAUTHORITY XDG_CURRENT_DESKTOP
}

input_driver() { as_user /usr/bin/python3 "$WL_USER_DIR/input.py" mutter; }

native_start() {
    as_user foot --app-id=quillhaven-foot --title=quillhaven-foot --maximized sh \
        >/dev/null 2>&1 &
    E2E_PIDS+=("$!")
    # Nothing outside Mutter can ask it about a Wayland window: give foot a moment to map.
    sleep 2
}

# A click on a part of foot that no window of the program covers.
native_focus() {
    pointer_to 100 850 && input down && input up
}
# No compositor tree here: XWayland's focus belongs to no X window while foot has the keyboard.
native_focused() {
    local focus
    focus=$(xdotool getwindowfocus 2>/dev/null) || return 0
    ! app_windows | grep -qx "$focus"
}

compositor_rect() { return 1; }

# The root of a rootless XWayland shows nothing: the program's windows, one picture each.
screen_shot() {
    local w
    for w in $(app_windows); do import -window "$w" "$E2E_SHOTS/$1-$w.png" 2>/dev/null; done
}
