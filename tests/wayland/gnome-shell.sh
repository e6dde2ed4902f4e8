# shellcheck shell=bash disable=SC2034
# The settings below are read by run-wayland, which sources this file.
# GNOME Shell (Wayland) for run-wayland: started headless with XWayland on the run's own session
# bus (and a private system bus, without which it will not start), input through Mutter's
# RemoteDesktop session, as on bare Mutter. Its Screenshot portal (xdg-desktop-portal-gnome)
# gives the suite its screenshots, once the user's permission is in the permission store.

# Foot, the focus and the input go as on bare Mutter.
. "$WL_DIR/mutter.sh"
TOP_BAR=32 # the notch is as high as GNOME Shell's top bar
SCREENSHOTS=1
# The program leaves the choosing of a region to GNOME's own screenshot dialog.
PICKER=1
PICKER_GAP="GNOME 43 puts the portal's dialog beneath the active window and only notifies \
\"Screenshot is ready\""

compositor_start() {
    # GNOME Shell will not start without a system bus: a private one, with nothing on it, is
    # enough (the session bus's rules serve, as nothing else uses it).
    local system="unix:path=$E2E_TMP/runtime/system-bus"
    bus_at system-bus || return 1
    spawn 900 "${RUN_AS[@]}" env -i "${SESSION_ENV[@]}" XDG_CURRENT_DESKTOP=GNOME \
        XDG_SESSION_TYPE=wayland DBUS_SYSTEM_BUS_ADDRESS="$system" gnome-shell --headless \
        --wayland --virtual-monitor 1440x900 --sm-disable \
        --wayland-display=quillhaven-wayland >"$E2E_SHOTS/compositor.log" 2>&1
    # Unlike Mutter, GNOME Shell runs no command once it is up: the session's variables are
    # read from what it says and leaves in the runtime folder.
    wait_for 60 grep -q "GNOME Shell started" "$E2E_SHOTS/compositor.log" || return 1
    local display auth
    display=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$E2E_SHOTS/compositor.log")
    auth=$(find "$E2E_TMP/runtime" -maxdepth 1 -name '.mutter-Xwaylandauth.*' | head -1)
    [ -n "$display" ] && [ -n "$auth" ] || return 1
    printf '%s\n' WAYLAND_DISPLAY=quillhaven-wayland "DISPLAY=$display" "XAUTHORITY=$auth" \
        XDG_CURRENT_DESKTOP=GNOME >"$E2E_TMP/session.env"
    session_from_env WAYLAND_DISPLAY DISPLAY XAUTHORITY XDG_CURRENT_DESKTOP
    # As a GNOME session does, so that the portals it starts find GNOME's backend.
    as_user env DBUS_SYSTEM_BUS_ADDRESS="$system" dbus-update-activation-environment \
        WAYLAND_DISPLAY DISPLAY XAUTHORITY XDG_CURRENT_DESKTOP DBUS_SYSTEM_BUS_ADDRESS
    # As after the user has once let programs take screenshots: GNOME's portal asks first.
    as_user gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
        --object-path /org/freedesktop/impl/portal/PermissionStore \
        --method org.freedesktop.impl.portal.PermissionStore.SetPermission \
        screenshot true screenshot "" "['yes']" >/dev/null
}

# The screen, through the Screenshot portal (GNOME Shell gives no other program its picture):
# prints the path of the picture taken.
portal_picture() { as_user /usr/bin/python3 "$WL_USER_DIR/portalshot.py"; }
screen_shot() {
    local picture
    picture=$(portal_picture) && mv "$picture" "$E2E_SHOTS/$1.png"
}
# screen_crop "X,Y WxH" FILE: that part of the screen as PNG.
screen_crop() {
    local picture xy=${1% *}
    picture=$(portal_picture) || return 1
    convert "$picture" -crop "${1#* }+${xy%,*}+${xy#*,}" +repage "$2" 2>/dev/null
    rm -f "$picture"
}
screen_pixel() {
    screen_crop "$1,$2 1x1" "$E2E_TMP/pixel.png" && convert "$E2E_TMP/pixel.png" txt:- |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}
