#!/usr/bin/python3
"""Pointer and keys for Mutter, through its org.gnome.Mutter.RemoteDesktop session on the
session bus. Speaks the line protocol of inputcommands.py on stdin and stdout.

Absolute motion would need a screen-cast stream (and PipeWire); relative motion is exact
(no acceleration for virtual devices), so the pointer is first pushed into the top-left
corner, where Mutter clamps it to (0, 0), and moved by differences from there on.
"""
import dbus

from inputcommands import BTN_LEFT, Driver, serve

BUS_NAME = "org.gnome.Mutter.RemoteDesktop"


class RemoteDesktop(Driver):
    def __init__(self):
        bus = dbus.SessionBus()
        manager = dbus.Interface(bus.get_object(BUS_NAME, "/org/gnome/Mutter/RemoteDesktop"),
                                 BUS_NAME)
        path = manager.CreateSession()
        self.session = dbus.Interface(bus.get_object(BUS_NAME, path), BUS_NAME + ".Session")
        self.session.Start()
        self.session.NotifyPointerMotionRelative(-100000.0, -100000.0)
        self.x, self.y = 0, 0
        # XWayland takes the first key of a new device as the moment to load its keymap and
        # drops it: spend that on a lone Shift.
        self.key(42, True)
        self.key(42, False)

    def move(self, x, y):
        self.session.NotifyPointerMotionRelative(float(x - self.x), float(y - self.y))
        self.x, self.y = x, y

    def button(self, pressed):
        self.session.NotifyPointerButton(BTN_LEFT, pressed)

    def key(self, code, pressed):
        self.session.NotifyKeyboardKeycode(dbus.UInt32(code), pressed)

    def sync(self):
        # Each call above is answered only once Mutter has queued the event; a property read
        # after them returns after they are all handled.
        self.session.Get(BUS_NAME + ".Session", "SessionId",
                         dbus_interface="org.freedesktop.DBus.Properties")


serve(RemoteDesktop(), errors=(dbus.DBusException,))
