# shellcheck shell=bash disable=SC2034
# The settings below are read by run-wayland, which sources this file.
# KWin (Wayland) for run-wayland: started headless with XWayland on the run's own session bus,
# input through its fake-input protocol. KWin alone binds no keys to commands (Plasma's
# shortcut daemon does) and gives no screenshot to a program outside Plasma, so the
# screenshots kept are of the program's X windows, and the hot keys are the
# program's own.

# Foot, the focus and the screenshots go as on bare Mutter; KWin differs in how it starts and
# is driven.
. "$WL_DIR/mutter.sh"

compositor_start() {
    # The installed binary carries a file capability a container may refuse to run, and its
    # built-in platform plugin loads only for a binary named kwin_wayland: a plain copy. Its
    # fake-input protocol, which drives the pointer here, is otherwise kept for the programs
    # that desktop files name for it.
    mkdir -p "$E2E_TMP/kwin"
    cp "$(command -v kwin_wayland)" "$E2E_TMP/kwin/kwin_wayland"
    chown -R "$WL_USER:" "$E2E_TMP/kwin" 2>/dev/null
    spawn 900 "${RUN_AS[@]}" env -i "${SESSION_ENV[@]}" XDG_CURRENT_DESKTOP=KDE \
        KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 "$E2E_TMP/kwin/kwin_wayland" --virtual --xwayland \
        --width 1440 --height 900 --socket quillhaven-wayland --exit-with-session \
        "sh -c \"env > '$E2E_TMP/session.env.new' && mv '$E2E_TMP/session.env.new' \
            '$E2E_TMP/session.env' && exec sleep 900\"" >"$E2E_SHOTS/compositor.log" 2>&1
    wait_for 40 test -s "$E2E_TMP/session.env" || return 1
    session_from_env WAYLAND_DISPLAY DISPLAY XAUTHORITY XDG_CURRENT_DESKTOP
}

input_driver() { as_user /usr/bin/python3 "$WL_USER_DIR/input.py" kwin; }

# KWin 5.27 delivers the pointer of its fake-input protocol but not its keys when the session
# has no keyboard of its own (headless): keys go through XWayland's XTest, which reaches X
# windows only. So the note is typed into as before, but nothing can type into foot, and the
# X focus (which KWin leaves on the last X window) cannot tell whether foot has the keyboard.
NATIVE_KEYS=0
eval "$(declare -f input | sed '1s/^input /compositor_input /')"
input() {
    case $1 in
    type) shift && xdotool type --delay 30 "$*" ;;
    key) xdotool key "$(sed 's/return/Return/; s/escape/Escape/' <<<"$2")" ;;
    *) compositor_input "$@" ;;
    esac
}
native_focused() { true; }

# No key typed here reaches KWin itself, so ask its shortcut service whether the program's
# Ctrl+Alt+N (Qt's code 0x0C00004E) is registered there.
kde_holds_keys() {
    as_user dbus-send --session --print-reply --dest=org.kde.kglobalaccel /kglobalaccel \
        org.kde.KGlobalAccel.shortcut array:string:quillhaven,toggle-dashboard,Quillhaven,x |
        grep -q "int32 201326670"
}
extra_checks() {
    check "KWin's own shortcut service holds Ctrl+Alt+N for the program" wait_for 10 kde_holds_keys
}
