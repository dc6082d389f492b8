"""Walks the accessibility tree of the running vkcp and checks what a screen reader finds."""
import subprocess
import sys

import pyatspi
from gi.repository import GLib

SOUND_FIELDS = ["Sound Name", "Sound Filename", "Loop start", "Loop end", "Outer cone volume",
                "Inner cone Angle", "Outer cone Angle", "Max distance", "Min distance",
                "Import adjust"]


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def find(root, name, roles):
    return next((n for n in walk(root) if n.name == name and n.getRoleName() in roles), None)


def focused_menu_items(presses):
    """The menu items that take the focus while the keyboard walks down the open menu: popup
    menus are not children of the application, a screen reader meets them through events."""
    seen = []

    def on_focus(event):
        if event.detail1 and event.source.getRoleName() == "menu item":
            seen.append(event.source.name)

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    steps = iter(range(presses))

    def press():
        if next(steps, None) is None:
            pyatspi.Registry.stop()
            return False
        subprocess.run(["xdotool", "key", "Down"], check=True)
        return True

    GLib.timeout_add(300, press)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")
    return seen


def main():
    desktop = pyatspi.Registry.getDesktop(0)
    apps = [desktop.getChildAtIndex(i) for i in range(desktop.childCount)]
    app = next((a for a in apps if a is not None and a.name in ("vkcp", "VK Control Panel")), None)
    if app is None:
        print("a11y-check: vkcp is not on the accessibility bus")
        return 1
    failures = []

    def expect(found, what):
        print(("found   " if found else "MISSING ") + what)
        if not found:
            failures.append(what)

    phase = sys.argv[1]
    windows = {app.getChildAtIndex(i).name: app.getChildAtIndex(i) for i in range(app.childCount)}
    for title in ("VK Control Panel",) + (("Sounds",) if phase == "sounds" else ()):
        expect(title in windows, f"window \"{title}\"")
    main_window = windows.get("VK Control Panel")
    if main_window is not None and phase == "menu":
        for area in ("Textures", "Sounds", "Weapons", "Generics", "Doors", "Ships", "Main menu",
                     "Minimize", "Close", "About", "Website"):
            expect(find(main_window, area, {"push button"}), f"main window button \"{area}\"")
        items = focused_menu_items(6)
        for item in ("New table file", "Load table file...", "Save table file...",
                     "Check for new versions...", "Exit"):
            expect(item in items, f"menu item \"{item}\"")
    sounds = windows.get("Sounds")
    if sounds is not None and phase == "sounds":
        for field in SOUND_FIELDS:
            expect(find(sounds, field, {"text", "entry"}), f"sound field \"{field}\"")
        expect(find(sounds, "Flags", {"list", "table", "list box"}), "sound field \"Flags\"")
        expect(find(sounds, "List of sounds", {"list", "table", "list box"}),
               "page list \"List of sounds\"")
        for button in ("Add", "Delete", "Apply", "Close"):
            expect(find(sounds, button, {"push button"}), f"button \"{button}\"")
    print(f"a11y-check {phase}: {len(failures)} missing" if failures
          else f"a11y-check {phase}: all found")
    return 1 if failures else 0


sys.exit(main())
