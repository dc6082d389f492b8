"""The Wayland pass: opens the windows of the running vkcp the way a screen reader user does,
through the accessibility interface alone (a hot area, a menu item or a button is pressed by its
action; the first page of a list is selected through its table), and checks each with check.py
and frames.py as the X11 pass does.

A Wayland compositor takes input from no client but the one it sends it to, and the headless one
has no seat at all: nothing here types a key or moves the pointer.
"""
import sys
import time

import pyatspi
from gi.repository import Gio, GLib

import check
import frames

MAIN = "VK Control Panel"

SKIPPED = """\
skipped on Wayland, as X11 only:
skipped   dragging the strip: no client may move the pointer, and the compositor places and
skipped     moves windows; the strip asks it to (xdg_toplevel.move), which shell's tests check
skipped   titles and size hints read from the window manager (xprop): no client may read
skipped     another's; what vkcp asks the compositor for (its protocol log) is checked instead
skipped   allowed actions and Motif hints: xdg-shell has none; a window whose minimum size is
skipped     its maximum size is not resized
skipped   the menu walked with the Down key: its items are read from the menu itself"""


def accessibility_bus():
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                None, GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, -1,
                                None).unpack()[0]
    return Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
        Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)


def until(condition, seconds=10):
    """condition's first true value within seconds, else its last."""
    deadline = time.monotonic() + seconds
    while not (found := condition()) and time.monotonic() < deadline:
        time.sleep(0.2)
    return found


def shown(title):
    """The window titled title if it is on screen."""
    app = check.application()
    window = app and check.windows_of(app).get(title)
    return window if window and check.showing(window) else None


def loaded(main_window):
    area = main_window and check.find(main_window, "Sounds", {"push button"})
    return area and area.getState().contains(pyatspi.STATE_ENABLED)


class Walk:
    def __init__(self):
        self.bus = accessibility_bus()
        self.failures = 0
        self.menu = None

    def fail(self, what):
        print("MISSING " + what)
        self.failures += 1

    def press(self, node):
        """Runs the node's first action without waiting for the answer: Qt answers a menu item's
        action only once the modal window it opened is closed."""
        if node is None:
            return
        message = Gio.DBusMessage.new_method_call(node.app.bus_name, node.path,
                                                  "org.a11y.atspi.Action", "DoAction")
        message.set_body(GLib.Variant("(i)", (0,)))
        message.set_flags(Gio.DBusMessageFlags.NO_REPLY_EXPECTED)
        self.bus.send_message(message, Gio.DBusSendMessageFlags.NONE)
        self.bus.flush_sync(None)

    def button(self, title, name):
        window = until(lambda: shown(title))
        found = window and check.find(window, name, {"push button"})
        if not found:
            self.fail(f"button \"{name}\" in \"{title}\"")
        return found

    def open(self, title, node):
        """Presses node and waits for the window titled title to show."""
        if node is None:
            return False
        self.press(node)
        if not until(lambda: shown(title)):
            self.fail(f"window \"{title}\" on screen")
            return False
        return True

    def close(self, title, button="Close"):
        node = self.button(title, button)
        self.press(node)
        if node and not until(lambda: not shown(title)):
            self.fail(f"\"{title}\" closed by \"{button}\"")

    def look(self, phase, title, fixed=True):
        if phase:
            self.failures += check.check(phase, self.menu_items)
        self.failures += frames.check_frames(title, fixed)

    def open_menu(self):
        """The main menu, met as a screen reader meets a popup: by the event that shows it (it
        is no child of the application). It stays open until something else is opened."""
        if self.menu is not None and check.showing(self.menu):
            return self.menu
        hot_area = self.button(MAIN, "Main menu")
        if hot_area is None:
            return None
        menus = []

        def on_showing(event):
            if event.detail1 and event.source.getRoleName() == "popup menu":
                menus.append(event.source)
                pyatspi.Registry.stop()

        pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
        GLib.timeout_add(100, lambda: self.press(hot_area))
        # Removed when the menu shows first, so that it stops no later wait.
        limit = GLib.timeout_add(5000, lambda: menus.append(None) or pyatspi.Registry.stop())
        pyatspi.Registry.start()
        pyatspi.Registry.deregisterEventListener(on_showing, "object:state-changed:showing")
        self.menu = menus[0]
        if self.menu is None:
            self.fail("the main menu on screen")
        else:
            GLib.source_remove(limit)
        return self.menu

    def menu_items(self):
        menu = self.open_menu()
        return [menu.getChildAtIndex(i).name for i in range(menu.childCount)] if menu else []

    def menu_item(self, name):
        menu = self.open_menu()
        item = menu and next((menu.getChildAtIndex(i) for i in range(menu.childCount)
                              if menu.getChildAtIndex(i).name == name), None)
        if menu and item is None:
            self.fail(f"menu item \"{name}\"")
        return item

    def select_first_page(self, title, caption):
        """Selects the first row of the page list, as a reader's table command does."""
        window = shown(title)
        pages = window and check.find(window, caption, {"list", "table", "list box"})
        if not pages or not pages.queryTable().addRowSelection(0):
            self.fail(f"the first page of \"{caption}\" selected")

    def editor(self, phase, title, caption=None, windows=()):
        """An editor from its hot area; with windows, its first page selected and each window
        its buttons open (phase, title, button), checked and closed."""
        if not self.open(title, self.button(MAIN, title)):
            return
        self.look(phase, title)
        if windows:
            self.select_first_page(title, caption)
        for phase_of, title_of, name in windows:
            if self.open(title_of, self.button(title, name)):
                # The table is resizable, unlike the editors and their settings windows.
                self.look(phase_of, title_of, fixed=phase_of != "weapontable")
                self.close(title_of)
        self.close(title)


def main():
    walk = Walk()
    print(SKIPPED)
    # The hot areas take clicks once the table is loaded.
    if not until(lambda: shown(MAIN), 20) or not until(lambda: loaded(shown(MAIN)), 20):
        print("a11y-check: the main window did not appear with the table loaded")
        return 1
    walk.look(None, MAIN, fixed=False)

    walk.failures += check.check("menu", walk.menu_items)
    if walk.open("Check table", walk.menu_item("Check table")):
        walk.look("checktable", "Check table")
        walk.close("Check table")

    for phase, title in (("sounds", "Sounds"), ("textures", "Textures"), ("doors", "Doors")):
        walk.editor(phase, title)
    walk.editor("weapons", "Weapons", "List of weapons",
                (("physics", "Physics", "Physics"), ("lighting", "Lighting", "Lighting"),
                 ("soundslot", "Sounds", "Sounds"), ("weapontable", "Weapons table", "Table")))
    walk.editor("generics", "Generics", "List of generics",
                (("ai", "AI", "AI"), ("spew", "Spew", "Spew"), ("classes", "Classes", "Classes"),
                 ("batteries", "Weapon Batteries", "Batteries"),
                 ("objectsounds", "Object sounds", "Sounds"),
                 ("deathtypes", "Death types", "Death")))
    walk.editor("ships", "Ships", "List of ships", (("shipweapons", "Ship weapons", "Weapons"),))

    if walk.open("About", walk.button(MAIN, "About")):
        walk.look(None, "About")
        walk.close("About", "OK")
    # A message box: New table file, then Save table file, which has nothing to save.
    walk.press(walk.menu_item("New table file"))
    if walk.open("Error", walk.menu_item("Save table file...")):
        walk.look(None, "Error", fixed=False)
        walk.close("Error", "OK")

    print(f"a11y-check wayland: {walk.failures} missing or wrong" if walk.failures
          else "a11y-check wayland: all found")
    return 1 if walk.failures else 0


if __name__ == "__main__":
    sys.exit(main())
