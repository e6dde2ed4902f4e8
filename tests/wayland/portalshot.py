#!/usr/bin/python3
# Asks the session's org.freedesktop.portal.Screenshot for a non-interactive screenshot and
# prints the picture's path: whether the desktop can give any program a real screen image,
# apart from whether the program under test asks for it. Exit status 1 with the portal's
# answer when it gives none, 2 when it does not answer within 45 seconds.
import sys
from urllib.parse import unquote, urlparse

import dbus
import dbus.mainloop.glib
from gi.repository import GLib

PORTAL = "org.freedesktop.portal.Desktop"


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    loop = GLib.MainLoop()
    outcome = {"status": 2}
    sender = bus.get_unique_name()[1:].replace(".", "_")
    token = "quillhaven_check"
    request = "/org/freedesktop/portal/desktop/request/%s/%s" % (sender, token)

    def answered(response, results):
        outcome["status"] = int(response)
        outcome["uri"] = str(results.get("uri", ""))
        loop.quit()

    # Subscribed before asking, so that an answer that comes at once is not missed.
    bus.add_signal_receiver(answered, "Response", "org.freedesktop.portal.Request",
                            PORTAL, request)
    options = dbus.Dictionary({"handle_token": token, "interactive": False}, signature="sv")
    try:
        portal = bus.get_object(PORTAL, "/org/freedesktop/portal/desktop")
        portal.Screenshot("", options, signature="sa{sv}",
                          dbus_interface="org.freedesktop.portal.Screenshot", timeout=45)
    except dbus.DBusException as error:
        print("no Screenshot portal: %s" % error.get_dbus_name())
        sys.exit(1)
    GLib.timeout_add_seconds(45, loop.quit)
    loop.run()
    if outcome["status"] != 0 or not outcome.get("uri"):
        print("no picture (response %d)" % outcome["status"])
        sys.exit(1 if outcome["status"] != 2 else 2)
    print(unquote(urlparse(outcome["uri"]).path))


main()
